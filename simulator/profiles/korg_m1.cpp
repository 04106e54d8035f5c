// Korg M1 (model 19): requests `F0 42 3n 19 func 00 F7` (00: internal
// memory) answered by one dump each, data packed 7 bits to 8, no checksum:
//   all programs  1C -> `F0 42 3n 19 4C [16344] F7` (16350)
//   global        0E -> `F0 42 3n 19 51 [985] F7`   (991)
//   sequences     18 -> `F0 42 3n 19 48 [18287] F7` (18293, as in the one
//                       known capture; the real size varies with use)
// Combinations (1D), all data (0F) and the edit program (10) are left out:
// their reply sizes are not known, so they are not understood here.
#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/korg_family.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr uint8_t kModel = 0x19;

struct M1Dump {
    uint8_t request;
    uint8_t reply;
    size_t data;
    const char* slot;
};

const M1Dump kDumps[] = {
    {0x1C, 0x4C, 16344, "programs"},
    {0x0E, 0x51, 985, "global"},
    {0x18, 0x48, 18287, "sequences"},
};

class KorgM1 : public InstrumentProfile {
public:
    explicit KorgM1(const ProfileSettings& settings) : InstrumentProfile(settings) {}

    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!IsKorgMessage(message, kModel, -1)) return DumpCheck::NotADump();
        for (const M1Dump& dump : kDumps) {
            if (message[4] != dump.reply) continue;
            if (message.size() != dump.data + 6) return DumpCheck::Invalid(std::string("wrong size for ") + dump.slot);
            return DumpCheck::Valid(dump.slot, Bytes(message.begin() + 5, message.end() - 1), message[2] & 0x0F);
        }
        return DumpCheck::NotADump();
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (!IsKorgMessage(message, kModel, DeviceId()) || message.size() != 7 || message[5] != 0x00) return false;
        for (const M1Dump& dump : kDumps) {
            if (message[4] != dump.request) continue;
            Bytes body{dump.reply};
            Append(body, Slot(dump.slot, dump.data));
            replies.push_back(KorgMessage(DeviceId(), kModel, body));
            return true;
        }
        return false;
    }
};

}  // namespace

DRUV_PROFILE(KorgM1, "Korg", "M1")

}  // namespace druv::profiles
