// Roland Juno-106: no dump request. Selecting a patch on the panel sends it
// as `F0 41 30 0n pp [16 slider bytes, 2 switch bytes] F7` (24 bytes), so a
// whole bank is the musician stepping through the 128 patches. A received
// patch message only loads the sound (the edit buffer); storing it is done
// by hand, so a unit holds what it received in its edit buffer alone.
#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kPatch = 18;

class RolandJuno106 : public InstrumentProfile {
public:
    explicit RolandJuno106(const ProfileSettings& settings) : InstrumentProfile(settings) {}

    DeviceIdRule IdRule() const override { return {true, 0, 15}; }
    std::vector<std::string> PanelActions() const override { return {"current patch", "all patches"}; }
    // The musician selects the next one about once a second.
    uint32_t PanelStepMs(const std::string& action) const override { return action == "all patches" ? 1000 : 0; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x41, 0x30}) || message.size() < 5 || (message[3] & 0xF0) != 0)
            return DumpCheck::NotADump();
        if (message.size() != kPatch + 6) return DumpCheck::Invalid("wrong size for a patch");
        return DumpCheck::Valid("edit", Bytes(message.begin() + 5, message.end() - 1), message[3]);
    }

    bool HandleRequest(const Bytes&, std::vector<Bytes>&) override { return false; }

    bool PanelDump(const std::string& action, std::vector<Bytes>& messages) override {
        if (action == "current patch") {
            messages.push_back(Message(current_, Edit()));
            return true;
        }
        if (action != "all patches") return false;
        for (uint8_t patch = 0; patch < 128; ++patch) {
            current_ = patch;
            MutableMemory()["edit"] = Patch(patch);
            messages.push_back(Message(patch, Edit()));
        }
        return true;
    }

private:
    Bytes Patch(uint8_t number) { return Slot("patch " + std::to_string(number), kPatch); }
    Bytes& Edit() {
        if (!Memory().count("edit")) MutableMemory()["edit"] = Patch(current_);
        return MutableMemory()["edit"];
    }
    Bytes Message(uint8_t number, const Bytes& data) const {
        Bytes message{0xF0, 0x41, 0x30, DeviceId(), number};
        Append(message, data);
        message.push_back(0xF7);
        return message;
    }

    uint8_t current_ = 0;
};

}  // namespace

DRUV_PROFILE(RolandJuno106, "Roland", "Juno-106")

}  // namespace druv::profiles
