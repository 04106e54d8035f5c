// Ensoniq VFX: the command `F0 0F 05 00 0n 00 05 F7` answers the current
// program `F0 0F 05 00 0n 02 [1060 nibbles] F7` (1067 bytes); the command
// `… 00 09 F7` all 60 programs in one message `F0 0F 05 00 0n 03 [63600
// nibbles] F7` (63607 bytes).
#include "simulator/profiles/ensoniq_family.h"

namespace druv::profiles {
namespace {

class EnsoniqVfx : public EnsoniqFamily {
public:
    explicit EnsoniqVfx(const ProfileSettings& settings)
        : EnsoniqFamily(settings, {{0xF0, 0x0F, 0x05, 0x00}, {0x00, 0x05}, {0x00, 0x09}, 0x02, 0x03, 1060, 60}) {}
};

}  // namespace

DRUV_PROFILE(EnsoniqVfx, "Ensoniq", "VFX")

}  // namespace druv::profiles
