// TC Electronic G-Major: `F0 00 20 1F dd 48 45 bb pp F7` asks for preset pp
// (0..99) of bank bb (0 and 1: factory and user), answered by
//   `F0 00 20 1F dd 48 20 bb pp [name: 20] [data: 581] [3 bytes] cs F7`
// (615 bytes), cs the 7-bit sum of the data alone (offsets 29 to 609): the
// name and the three bytes after the data are left out. What offsets 7 and
// 8 hold is not published; this model puts the bank and preset there, and
// a preset sent back is written where they say.
#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kName = 20;
constexpr size_t kData = 581;
constexpr size_t kTail = 3;
constexpr size_t kDataStart = 9 + kName;
constexpr size_t kDump = kDataStart + kData + kTail + 2;
constexpr uint8_t kBanks = 2;
constexpr uint8_t kPresets = 100;

class TcGMajor : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {true, 0, 126}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x00, 0x20, 0x1F}) || message.size() < 7 || message[5] != 0x48 ||
            message[6] != 0x20)
            return DumpCheck::NotADump();
        if (message.size() != kDump) return DumpCheck::Invalid("preset dump of wrong size");
        if (message[7] >= kBanks || message[8] >= kPresets) return DumpCheck::Invalid("no such preset");
        if (message[kDump - 2] != Sum7(message, kDataStart, kData)) return DumpCheck::Invalid("bad checksum");
        return DumpCheck::Valid(PresetSlot(message[7], message[8]), Bytes(message.begin() + 9, message.end() - 2),
                                message[4]);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (!StartsWith(message, {0xF0, 0x00, 0x20, 0x1F, DeviceId(), 0x48, 0x45}) || message.size() != 10)
            return false;
        if (message[7] >= kBanks || message[8] >= kPresets) return false;
        Bytes reply{0xF0, 0x00, 0x20, 0x1F, DeviceId(), 0x48, 0x20, message[7], message[8]};
        Append(reply, Slot(PresetSlot(message[7], message[8]), kName + kData + kTail));
        reply.push_back(Sum7(reply, kDataStart, kData));
        reply.push_back(0xF7);
        replies.push_back(reply);
        return true;
    }

private:
    static std::string PresetSlot(int bank, int preset) {
        return "bank " + std::to_string(bank) + " preset " + std::to_string(preset);
    }
};

}  // namespace

DRUV_PROFILE(TcGMajor, "TC Electronic", "G-Major")

}  // namespace druv::profiles
