// Access Virus (A, B and C): a single `F0 00 20 33 01 dd 30 bb pp F7` is
// answered by `F0 00 20 33 01 dd 10 bb pp [256] cs F7` (267 bytes), a bank
// `F0 00 20 33 01 dd 32 bb F7` by its 128 singles. cs is the 7-bit sum of
// the bytes from the device ID on (offsets 5 to 264), so a single sent to
// a unit with another ID needs a new checksum. The published formats name
// no bank numbers; banks 01 and 02 (the two writable ones) are modelled,
// and the device IDs 00-0F. A single sent to the unit is written where its
// bank and program say. The multi dumps are left out (sizes unknown).
#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kData = 256;
constexpr size_t kDump = 9 + kData + 2;
constexpr size_t kChecked = 5;  // the device ID is the first byte summed
constexpr uint8_t kFirstBank = 0x01, kLastBank = 0x02;
constexpr int kPrograms = 128;

class AccessVirus : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x00, 0x20, 0x33, 0x01}) || message.size() < 7 || message[6] != 0x10)
            return DumpCheck::NotADump();
        if (message.size() != kDump) return DumpCheck::Invalid("single dump of wrong size");
        if (message[7] < kFirstBank || message[7] > kLastBank)
            return DumpCheck::Invalid("no bank " + HexName({message[7]}));
        if (message[kDump - 2] != Sum7(message, kChecked, kDump - 2 - kChecked))
            return DumpCheck::Invalid("bad checksum");
        return DumpCheck::Valid(SingleSlot(message[7], message[8]), Bytes(message.begin() + 9, message.end() - 2),
                                message[5]);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (!StartsWith(message, {0xF0, 0x00, 0x20, 0x33, 0x01, DeviceId()}) || message.size() < 9) return false;
        const uint8_t bank = message[7];
        if (bank < kFirstBank || bank > kLastBank) return false;
        if (message.size() == 10 && message[6] == 0x30) {
            replies.push_back(Single(bank, message[8]));
            return true;
        }
        if (message.size() == 9 && message[6] == 0x32) {
            for (int program = 0; program < kPrograms; ++program)
                replies.push_back(Single(bank, static_cast<uint8_t>(program)));
            return true;
        }
        return false;
    }

private:
    static std::string SingleSlot(int bank, int program) {
        return "bank " + std::to_string(bank) + " single " + std::to_string(program);
    }

    Bytes Single(uint8_t bank, uint8_t program) {
        Bytes message{0xF0, 0x00, 0x20, 0x33, 0x01, DeviceId(), 0x10, bank, program};
        Append(message, Slot(SingleSlot(bank, program), kData));
        message.push_back(Sum7(message, kChecked, message.size() - kChecked));
        message.push_back(0xF7);
        return message;
    }
};

}  // namespace

DRUV_PROFILE(AccessVirus, "Access", "Virus")

}  // namespace druv::profiles
