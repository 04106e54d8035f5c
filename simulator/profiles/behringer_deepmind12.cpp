// Behringer DeepMind 12: messages inside `F0 00 20 32 20 dd … F7`, dd the
// device ID 0..15. Request `01 bb pp` (bank 0..7 = A..H, program 0..127)
// answers the program dump `02 vv bb pp [280 packed bytes]` (291 bytes),
// request `03` the edit buffer `04 vv [280]` (289); vv is the dump's format
// version. No checksum. Both dumps are taken back, of any version.
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kDataSize = 280;
constexpr size_t kHeader = 6;  // F0 00 20 32 20 dd
constexpr size_t kProgramDump = kHeader + 4 + kDataSize + 1;
constexpr size_t kEditDump = kHeader + 2 + kDataSize + 1;
constexpr uint8_t kBanks = 8;
constexpr uint8_t kPrograms = 128;
constexpr uint8_t kVersion = 0x07;  // the version a published bank carries

class BehringerDeepMind12 : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x00, 0x20, 0x32, 0x20}) || message.size() < kHeader + 2)
            return DumpCheck::NotADump();
        const uint8_t type = message[kHeader];
        if (type == 0x02) {
            if (message.size() != kProgramDump) return DumpCheck::Invalid("program dump of wrong size");
            const uint8_t bank = message[kHeader + 2], program = message[kHeader + 3];
            if (bank >= kBanks || program >= kPrograms)
                return DumpCheck::Invalid("no program " + HexName({bank, program}));
            return DumpCheck::Valid(ProgramSlot(bank, program), Data(message, kHeader + 4), message[5]);
        }
        if (type == 0x04) {
            if (message.size() != kEditDump) return DumpCheck::Invalid("edit-buffer dump of wrong size");
            return DumpCheck::Valid("edit", Data(message, kHeader + 2), message[5]);
        }
        return DumpCheck::NotADump();
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (!StartsWith(message, {0xF0, 0x00, 0x20, 0x32, 0x20, DeviceId()}) || message.size() < kHeader + 2)
            return false;
        Bytes reply{0xF0, 0x00, 0x20, 0x32, 0x20, DeviceId()};
        if (message.size() == kHeader + 4 && message[kHeader] == 0x01) {
            const uint8_t bank = message[kHeader + 1], program = message[kHeader + 2];
            if (bank >= kBanks || program >= kPrograms) return false;
            Append(reply, {0x02, kVersion, bank, program});
            Append(reply, Slot(ProgramSlot(bank, program), kDataSize));
        } else if (message.size() == kHeader + 2 && message[kHeader] == 0x03) {
            Append(reply, {0x04, kVersion});
            Append(reply, Slot("edit", kDataSize));
        } else {
            return false;
        }
        reply.push_back(0xF7);
        replies.push_back(reply);
        return true;
    }

private:
    static std::string ProgramSlot(int bank, int program) {
        return "bank " + std::to_string(bank) + " program " + std::to_string(program);
    }
    static Bytes Data(const Bytes& message, size_t start) {
        return Bytes(message.begin() + static_cast<long>(start), message.end() - 1);
    }
};

}  // namespace

DRUV_PROFILE(BehringerDeepMind12, "Behringer", "DeepMind 12")

}  // namespace druv::profiles
