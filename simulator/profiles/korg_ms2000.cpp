// Korg MS2000 (model 58): the all-data request `F0 42 3n 58 0F F7` is
// answered by `F0 42 3n 58 50 [37386] F7` (37392 bytes, packed, no
// checksum), which the unit also takes back. The edit-buffer (10) and
// program (1C) requests are left out: the sizes of their replies are not
// known, so they are not understood here.
#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/korg_family.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr uint8_t kModel = 0x58;
constexpr uint8_t kAllDataRequest = 0x0F, kAllDataDump = 0x50;
constexpr size_t kAllData = 37392 - 6;

class KorgMs2000 : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!IsKorgMessage(message, kModel, -1) || message[4] != kAllDataDump) return DumpCheck::NotADump();
        if (message.size() != kAllData + 6) return DumpCheck::Invalid("all-data dump of wrong size");
        return DumpCheck::Valid("all data", Bytes(message.begin() + 5, message.end() - 1), message[2] & 0x0F);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (!IsKorgMessage(message, kModel, DeviceId()) || message.size() != 6 || message[4] != kAllDataRequest)
            return false;
        Bytes body{kAllDataDump};
        Append(body, Slot("all data", kAllData));
        replies.push_back(KorgMessage(DeviceId(), kModel, body));
        return true;
    }
};

}  // namespace

DRUV_PROFILE(KorgMs2000, "Korg", "MS2000")

}  // namespace druv::profiles
