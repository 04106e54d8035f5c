// Roland JX-8P: cannot be asked for anything. Selecting a tone sends its
// parameters as APR `F0 41 35 0n 21 20 01 [59] F7` (67 bytes); the 32
// internal tones are the musician stepping through them. A received APR
// loads the sound being edited.
#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kTone = 59;

class RolandJx8p : public InstrumentProfile {
public:
    explicit RolandJx8p(const ProfileSettings& settings) : InstrumentProfile(settings) {}

    DeviceIdRule IdRule() const override { return {true, 0, 15}; }
    std::vector<std::string> PanelActions() const override { return {"current tone", "all tones"}; }
    // The musician selects the next one about once a second.
    uint32_t PanelStepMs(const std::string& action) const override { return action == "all tones" ? 1000 : 0; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x41, 0x35}) || message.size() < 7 || (message[3] & 0xF0) != 0 ||
            message[4] != 0x21)
            return DumpCheck::NotADump();
        if (message[5] != 0x20 || message[6] != 0x01) return DumpCheck::Invalid("not a tone APR");
        if (message.size() != kTone + 8) return DumpCheck::Invalid("wrong size for a tone");
        return DumpCheck::Valid("edit", Bytes(message.begin() + 7, message.end() - 1), message[3]);
    }

    bool HandleRequest(const Bytes&, std::vector<Bytes>&) override { return false; }

    bool PanelDump(const std::string& action, std::vector<Bytes>& messages) override {
        if (action == "current tone") {
            if (!Memory().count("edit")) MutableMemory()["edit"] = Slot("tone 0", kTone);
            messages.push_back(Apr(MutableMemory()["edit"]));
            return true;
        }
        if (action != "all tones") return false;
        for (int tone = 0; tone < 32; ++tone) {
            MutableMemory()["edit"] = Slot("tone " + std::to_string(tone), kTone);
            messages.push_back(Apr(MutableMemory()["edit"]));
        }
        return true;
    }

private:
    Bytes Apr(const Bytes& data) const {
        Bytes message{0xF0, 0x41, 0x35, DeviceId(), 0x21, 0x20, 0x01};
        Append(message, data);
        message.push_back(0xF7);
        return message;
    }
};

}  // namespace

DRUV_PROFILE(RolandJx8p, "Roland", "JX-8P")

}  // namespace druv::profiles
