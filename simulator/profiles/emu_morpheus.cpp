// E-mu Morpheus: preset n (0..255, 14-bit low/high) is asked with
// `F0 18 0C dd 00 LL HH F7` and comes back as `F0 18 0C dd 01 01 LL HH
// [556] cs F7` (566 bytes), cs the 7-bit sum of the 556 data bytes. A preset
// dump sent to the unit writes that preset. Hyperpresets and MIDI maps are
// not modelled (their requests have not been confirmed).
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kDataSize = 556;
constexpr size_t kDumpSize = 8 + kDataSize + 2;
constexpr int kPresets = 256;

class EmuMorpheus : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x18, 0x0C}) || message.size() < 6 || message[4] != 0x01 || message[5] != 0x01)
            return DumpCheck::NotADump();
        if (message.size() != kDumpSize) return DumpCheck::Invalid("preset dump of wrong size");
        const int number = message[6] | (message[7] << 7);
        if (number >= kPresets) return DumpCheck::Invalid("no preset " + std::to_string(number));
        if (message[8 + kDataSize] != Sum7(message, 8, kDataSize)) return DumpCheck::Invalid("bad checksum");
        return DumpCheck::Valid(PresetSlot(number), Bytes(message.begin() + 8, message.begin() + 8 + kDataSize),
                                message[3]);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (!StartsWith(message, {0xF0, 0x18, 0x0C, DeviceId(), 0x00}) || message.size() != 8) return false;
        const int number = message[5] | (message[6] << 7);
        if (number >= kPresets) return false;
        Bytes reply{0xF0, 0x18, 0x0C, DeviceId(), 0x01, 0x01, message[5], message[6]};
        Append(reply, Slot(PresetSlot(number), kDataSize));
        reply.push_back(Sum7(reply, 8, kDataSize));
        reply.push_back(0xF7);
        replies.push_back(reply);
        return true;
    }

private:
    static std::string PresetSlot(int number) { return "preset " + std::to_string(number); }
};

}  // namespace

DRUV_PROFILE(EmuMorpheus, "E-mu", "Morpheus")

}  // namespace druv::profiles
