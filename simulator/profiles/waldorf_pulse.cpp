// Waldorf Pulse: `F0 3E 0B dd 40 pp F7` asks for program pp (0..99); the
// answer is `F0 3E 0B dd 00 pp [69] cs F7` (77 bytes). The unit also stores
// the bulk form, type 01 with the same layout. dd 7F reaches every unit.
#include "simulator/profiles/waldorf_family.h"

namespace druv::profiles {
namespace {

class WaldorfPulse : public WaldorfFamily {
public:
    explicit WaldorfPulse(const ProfileSettings& settings) : WaldorfFamily(settings, Format()) {}

private:
    static WaldorfFormat Format() {
        WaldorfFormat format;
        format.model = 0x0B;
        format.requestType = {0x40};
        format.dumpType = {0x00};
        format.writeTypes = {{0x01}};
        format.addressBytes = 1;
        format.programs = 100;
        format.dataSize = 69;
        format.broadcast = true;
        return format;
    }
};

}  // namespace

DRUV_PROFILE(WaldorfPulse, "Waldorf", "Pulse")

}  // namespace druv::profiles
