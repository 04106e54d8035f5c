// Tempest: no request at all; sounds leave only from the front panel. A
// sound from the flash library goes out as `F0 01 28 63 [data] F7` of 174,
// 182 or 190 bytes, the sound in RAM as `F0 01 28 60 [data] F7` (157 bytes);
// neither has a device ID, nor a checksum by any of the usual rules. Where a
// sound sent back is stored is not known: a unit here keeps the last flash
// sound and the last RAM sound it received, as the ones it would send next.
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr uint8_t kFlashSound = 0x63;
constexpr uint8_t kRamSound = 0x60;
constexpr size_t kRamSoundSize = 157;
constexpr size_t kFlashSoundSizes[] = {174, 182, 190};
constexpr size_t kFraming = 5;  // F0 01 28, the type, F7

class SequentialTempest : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {false, 0, 0}; }
    std::vector<std::string> PanelActions() const override { return {"current sound", "flash sound"}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x01, 0x28}) || message.size() < 5) return DumpCheck::NotADump();
        const Bytes data(message.begin() + 4, message.end() - 1);
        if (message[3] == kRamSound) {
            if (message.size() != kRamSoundSize) return DumpCheck::Invalid("RAM sound of wrong size");
            return DumpCheck::Valid("current sound", data, -1);
        }
        if (message[3] == kFlashSound) {
            for (size_t size : kFlashSoundSizes)
                if (message.size() == size) return DumpCheck::Valid("flash sound", data, -1);
            return DumpCheck::Invalid("flash sound of wrong size");
        }
        return DumpCheck::NotADump();
    }

    bool HandleRequest(const Bytes&, std::vector<Bytes>&) override { return false; }

    bool PanelDump(const std::string& action, std::vector<Bytes>& messages) override {
        if (action == "current sound") {
            messages.push_back(Message(kRamSound, Slot("current sound", kRamSoundSize - kFraming)));
            return true;
        }
        if (action == "flash sound") {
            // Sounds differ in length; which of the three a unit's sound has comes from its contents.
            const size_t size = kFlashSoundSizes[SeededBytes(Seed(), "flash sound size", 1)[0] % 3];
            messages.push_back(Message(kFlashSound, Slot("flash sound", size - kFraming)));
            return true;
        }
        return false;
    }

private:
    static Bytes Message(uint8_t type, const Bytes& data) {
        Bytes message{0xF0, 0x01, 0x28, type};
        Append(message, data);
        message.push_back(0xF7);
        return message;
    }
};

}  // namespace

DRUV_PROFILE(SequentialTempest, "Sequential", "Tempest")

}  // namespace druv::profiles
