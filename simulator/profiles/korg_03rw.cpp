// Korg 03R/W (model 30): all programs, request `F0 42 3n 30 1C 00 F7`,
// reply `F0 42 3n 30 4C [19659] F7` (19665), no checksum. The edit-program
// request (10) is left out: its reply size is not known.
#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/korg_family.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr uint8_t kModel = 0x30;
constexpr size_t kPrograms = 19665 - 6;

class Korg03rw : public InstrumentProfile {
public:
    explicit Korg03rw(const ProfileSettings& settings) : InstrumentProfile(settings) {}

    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!IsKorgMessage(message, kModel, -1) || message[4] != 0x4C) return DumpCheck::NotADump();
        if (message.size() != kPrograms + 6) return DumpCheck::Invalid("wrong size for the programs");
        return DumpCheck::Valid("programs", Bytes(message.begin() + 5, message.end() - 1), message[2] & 0x0F);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (!IsKorgMessage(message, kModel, DeviceId()) || message.size() != 7 || message[4] != 0x1C || message[5] != 0x00)
            return false;
        Bytes body{0x4C};
        Append(body, Slot("programs", kPrograms));
        replies.push_back(KorgMessage(DeviceId(), kModel, body));
        return true;
    }
};

}  // namespace

DRUV_PROFILE(Korg03rw, "Korg", "03R/W")

}  // namespace druv::profiles
