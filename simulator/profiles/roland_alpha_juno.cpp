// Roland Alpha Juno and MKS-50 (format 23): no dump request. The one-way
// front-panel Bulk Dump sends 16 BLD messages
//   `F0 41 37 0n 23 ll 01 00 tt [256 nibbles: 4 tones or patches] F7`
// of 266 bytes each, tt 0..15, without checksum or terminator: a receive
// ends after the 16th. ll is the level: 20 for tones, 30 for the MKS-50's
// patches. Its two patch banks are not told apart in the data, so one is
// modelled, the one the musician picks on both units. The handshake
// variant of the bulk dump and the chord memory are not modelled.
#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kNibbles = 256;
constexpr size_t kMessage = 9 + kNibbles + 1;
constexpr uint8_t kMessages = 16;
constexpr uint8_t kTones = 0x20;
constexpr uint8_t kPatches = 0x30;

class RolandAlphaJunoFamily : public InstrumentProfile {
public:
    RolandAlphaJunoFamily(const ProfileSettings& settings, bool withPatches)
        : InstrumentProfile(settings), withPatches_(withPatches) {}

    DeviceIdRule IdRule() const override { return {true, 0, 15}; }
    std::vector<std::string> PanelActions() const override {
        if (withPatches_) return {"tone bulk dump", "patch bulk dump"};
        return {"tone bulk dump"};
    }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x41, 0x37}) || message.size() < 6 || message[3] > 0x0F || message[4] != 0x23)
            return DumpCheck::NotADump();
        const uint8_t level = message[5];
        if (level != kTones && !(withPatches_ && level == kPatches)) return DumpCheck::NotADump();
        if (message.size() != kMessage) return DumpCheck::Invalid("bulk dump message of wrong size");
        if (message[6] != 0x01 || message[7] != 0x00 || message[8] >= kMessages)
            return DumpCheck::Invalid("no such bulk dump message");
        const Bytes data(message.begin() + 9, message.end() - 1);
        if (!AllNibbles(data)) return DumpCheck::Invalid("bulk dump data that are not nibbles");
        return DumpCheck::Valid(SlotName(level, message[8]), data, message[3]);
    }

    bool HandleRequest(const Bytes&, std::vector<Bytes>&) override { return false; }

    bool PanelDump(const std::string& action, std::vector<Bytes>& messages) override {
        uint8_t level = 0;
        if (action == "tone bulk dump")
            level = kTones;
        else if (withPatches_ && action == "patch bulk dump")
            level = kPatches;
        else
            return false;
        for (uint8_t n = 0; n < kMessages; ++n) {
            Bytes message{0xF0, 0x41, 0x37, DeviceId(), 0x23, level, 0x01, 0x00, n};
            Append(message, Slot(SlotName(level, n), kNibbles, 0x0F));
            message.push_back(0xF7);
            messages.push_back(message);
        }
        return true;
    }

private:
    static std::string SlotName(uint8_t level, uint8_t number) {
        return (level == kTones ? "tones " : "patches ") + std::to_string(number);
    }
    bool withPatches_;
};

class RolandAlphaJuno : public RolandAlphaJunoFamily {
public:
    explicit RolandAlphaJuno(const ProfileSettings& settings) : RolandAlphaJunoFamily(settings, false) {}
};

class RolandMks50 : public RolandAlphaJunoFamily {
public:
    explicit RolandMks50(const ProfileSettings& settings) : RolandAlphaJunoFamily(settings, true) {}
};

}  // namespace

DRUV_PROFILE(RolandAlphaJuno, "Roland", "Alpha Juno")
DRUV_PROFILE(RolandMks50, "Roland", "MKS-50")

}  // namespace druv::profiles
