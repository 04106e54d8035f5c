// E-mu Proteus/1: preset n (0..191, 14-bit low/high) is asked with
// `F0 18 04 dd 00 LL HH F7` and comes back as `F0 18 04 dd 01 LL HH
// [128 parameters as 256 bytes] cs F7` (265 bytes), cs the 7-bit sum of the
// 256 data bytes. The number 7E 7F (low, high) asks for all 64 user presets
// (0..63), 7F 7F for all 128 factory presets (64..191), one message each.
// A preset dump sent to the unit writes that preset.
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kDataSize = 256;
constexpr size_t kDumpSize = 7 + kDataSize + 2;
constexpr int kPresets = 192;
constexpr int kUserPresets = 64;
constexpr int kAllUser = 0x3FFE;
constexpr int kAllFactory = 0x3FFF;

class EmuProteus1 : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x18, 0x04}) || message.size() < 5 || message[4] != 0x01)
            return DumpCheck::NotADump();
        if (message.size() != kDumpSize) return DumpCheck::Invalid("preset dump of wrong size");
        const int number = message[5] | (message[6] << 7);
        if (number >= kPresets) return DumpCheck::Invalid("no preset " + std::to_string(number));
        if (message[7 + kDataSize] != Sum7(message, 7, kDataSize)) return DumpCheck::Invalid("bad checksum");
        return DumpCheck::Valid(PresetSlot(number), Bytes(message.begin() + 7, message.begin() + 7 + kDataSize),
                                message[3]);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (!StartsWith(message, {0xF0, 0x18, 0x04, DeviceId(), 0x00}) || message.size() != 8) return false;
        const int number = message[5] | (message[6] << 7);
        if (number == kAllUser) {
            for (int n = 0; n < kUserPresets; ++n) replies.push_back(PresetMessage(n));
        } else if (number == kAllFactory) {
            for (int n = kUserPresets; n < kPresets; ++n) replies.push_back(PresetMessage(n));
        } else if (number < kPresets) {
            replies.push_back(PresetMessage(number));
        } else {
            return false;
        }
        return true;
    }

private:
    static std::string PresetSlot(int number) { return "preset " + std::to_string(number); }

    Bytes PresetMessage(int number) {
        Bytes message{
            0xF0, 0x18, 0x04, DeviceId(), 0x01, static_cast<uint8_t>(number & 0x7F), static_cast<uint8_t>(number >> 7)};
        Append(message, Slot(PresetSlot(number), kDataSize));
        message.push_back(Sum7(message, 7, kDataSize));
        message.push_back(0xF7);
        return message;
    }
};

}  // namespace

DRUV_PROFILE(EmuProteus1, "E-mu", "Proteus/1")

}  // namespace druv::profiles
