// Moog Minimoog Voyager: `F0 04 01 dd 04 F7` answers all presets of the
// current bank in one message `F0 04 01 dd 01 [18728 packed bytes] F7`
// (18734 bytes, no checksum), which the unit also takes back. The single
// preset (`… 06 pp F7`) and panel (`… 05 F7`) requests are not modelled:
// the size of their answers is not known, so they count as not understood.
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kAllSize = 18728;

class MoogVoyager : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {true, 0, 127}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x04, 0x01}) || message.size() < 6 || message[4] != 0x01)
            return DumpCheck::NotADump();
        if (message.size() != 5 + kAllSize + 1) return DumpCheck::Invalid("all-presets dump of wrong size");
        return DumpCheck::Valid("all presets", Bytes(message.begin() + 5, message.end() - 1), message[3]);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (message != Bytes{0xF0, 0x04, 0x01, DeviceId(), 0x04, 0xF7}) return false;
        Bytes reply{0xF0, 0x04, 0x01, DeviceId(), 0x01};
        Append(reply, Slot("all presets", kAllSize));
        reply.push_back(0xF7);
        replies.push_back(reply);
        return true;
    }
};

}  // namespace

DRUV_PROFILE(MoogVoyager, "Moog", "Minimoog Voyager")

}  // namespace druv::profiles
