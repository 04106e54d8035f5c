// Roland MKS-70 (original firmware): no dump request; the front-panel bulk
// dump sends 64 patch BLD messages of 106 bytes, then 50 tone BLD messages
// of 69 bytes (10234 in all), `F0 41 37 0n 24 ...`, without checksum or
// terminator. The bytes after the format byte are taken here as level
// (30 patch, 20 tone, as on the MKS-50), group 01 and the number; only the
// header, the sizes and the number are checked.
#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kPatchMessage = 106;
constexpr size_t kToneMessage = 69;

class RolandMks70 : public InstrumentProfile {
public:
    explicit RolandMks70(const ProfileSettings& settings) : InstrumentProfile(settings) {}

    DeviceIdRule IdRule() const override { return {true, 0, 15}; }
    std::vector<std::string> PanelActions() const override { return {"bulk dump"}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x41, 0x37}) || message.size() < 5 || (message[3] & 0xF0) != 0 ||
            message[4] != 0x24)
            return DumpCheck::NotADump();
        if (message.size() != kPatchMessage && message.size() != kToneMessage)
            return DumpCheck::Invalid("wrong size for a bulk dump message");
        const bool patch = message.size() == kPatchMessage;
        if (message[7] >= (patch ? 64 : 50)) return DumpCheck::Invalid("no such patch or tone");
        return DumpCheck::Valid(std::string(patch ? "patch " : "tone ") + std::to_string(message[7]),
                                Bytes(message.begin() + 8, message.end() - 1), message[3]);
    }

    bool HandleRequest(const Bytes&, std::vector<Bytes>&) override { return false; }

    bool PanelDump(const std::string& action, std::vector<Bytes>& messages) override {
        if (action != "bulk dump") return false;
        for (uint8_t n = 0; n < 64; ++n) messages.push_back(Bld(0x30, n, Slot("patch " + std::to_string(n), kPatchMessage - 9)));
        for (uint8_t n = 0; n < 50; ++n) messages.push_back(Bld(0x20, n, Slot("tone " + std::to_string(n), kToneMessage - 9)));
        return true;
    }

private:
    Bytes Bld(uint8_t level, uint8_t number, const Bytes& data) const {
        Bytes message{0xF0, 0x41, 0x37, DeviceId(), 0x24, level, 0x01, number};
        Append(message, data);
        message.push_back(0xF7);
        return message;
    }
};

}  // namespace

DRUV_PROFILE(RolandMks70, "Roland", "MKS-70")

}  // namespace druv::profiles
