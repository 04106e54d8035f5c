// Behringer Wave: messages inside `F0 00 20 32 00 01 39 dd 74 … F7`, dd the
// device ID (00 in the published dumps; 0..15 here, as on the DeepMind).
// Request `05 bb pp` (bank 0..1 = A..B, program 0..99) answers
// `06 bb pp vv [121] cs` (136 bytes), request `07` the edit buffer
// `08 vv [121] cs` (134); vv is a version byte, cs the 7-bit sum of the 121
// data bytes alone. Both dumps are taken back, of any version.
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kDataSize = 121;
constexpr size_t kCommand = 9;  // after F0 00 20 32 00 01 39 dd 74
constexpr size_t kProgramData = kCommand + 4;
constexpr size_t kEditData = kCommand + 2;
constexpr uint8_t kBanks = 2;
constexpr uint8_t kPrograms = 100;
constexpr uint8_t kVersion = 0x01;  // its value is not published; the unit takes any

bool IsWave(const Bytes& message) { return StartsWith(message, {0xF0, 0x00, 0x20, 0x32, 0x00, 0x01, 0x39}); }

class BehringerWave : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!IsWave(message) || message.size() <= kCommand || message[8] != 0x74) return DumpCheck::NotADump();
        std::string slot;
        size_t start = 0;
        if (message[kCommand] == 0x06) {
            start = kProgramData;
            if (message.size() != start + kDataSize + 2) return DumpCheck::Invalid("program dump of wrong size");
            slot = ProgramSlot(message[kCommand + 1], message[kCommand + 2]);
            if (slot.empty())
                return DumpCheck::Invalid("no program " + HexName({message[kCommand + 1], message[kCommand + 2]}));
        } else if (message[kCommand] == 0x08) {
            start = kEditData;
            if (message.size() != start + kDataSize + 2) return DumpCheck::Invalid("edit-buffer dump of wrong size");
            slot = "edit";
        } else {
            return DumpCheck::NotADump();
        }
        if (message[start + kDataSize] != Sum7(message, start, kDataSize)) return DumpCheck::Invalid("bad checksum");
        const auto data = message.begin() + static_cast<long>(start);
        return DumpCheck::Valid(slot, Bytes(data, data + static_cast<long>(kDataSize)), message[7]);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (!IsWave(message) || message.size() <= kCommand + 1 || message[7] != DeviceId() || message[8] != 0x74)
            return false;
        Bytes reply{0xF0, 0x00, 0x20, 0x32, 0x00, 0x01, 0x39, DeviceId(), 0x74};
        if (message.size() == kCommand + 4 && message[kCommand] == 0x05) {
            const std::string slot = ProgramSlot(message[kCommand + 1], message[kCommand + 2]);
            if (slot.empty()) return false;
            Append(reply, {0x06, message[kCommand + 1], message[kCommand + 2], kVersion});
            Append(reply, Slot(slot, kDataSize));
        } else if (message.size() == kCommand + 2 && message[kCommand] == 0x07) {
            Append(reply, {0x08, kVersion});
            Append(reply, Slot("edit", kDataSize));
        } else {
            return false;
        }
        reply.push_back(Sum7(reply, reply.size() - kDataSize, kDataSize));
        reply.push_back(0xF7);
        replies.push_back(reply);
        return true;
    }

private:
    // Empty for a program the unit does not have.
    static std::string ProgramSlot(uint8_t bank, uint8_t program) {
        if (bank >= kBanks || program >= kPrograms) return std::string();
        return "bank " + std::to_string(bank) + " program " + std::to_string(program);
    }
};

}  // namespace

DRUV_PROFILE(BehringerWave, "Behringer", "Wave")

}  // namespace druv::profiles
