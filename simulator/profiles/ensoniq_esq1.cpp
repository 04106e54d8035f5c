// Ensoniq ESQ-1 (SysX enabled on the unit): `F0 0F 02 0n 09 F7` answers the
// current program `F0 0F 02 0n 01 [204 nibbles] F7` (210 bytes);
// `F0 0F 02 0n 0A F7` all 40 programs `F0 0F 02 0n 02 [8160 nibbles] F7`
// (8166 bytes).
#include "simulator/profiles/ensoniq_family.h"

namespace druv::profiles {
namespace {

class EnsoniqEsq1 : public EnsoniqFamily {
public:
    explicit EnsoniqEsq1(const ProfileSettings& settings)
        : EnsoniqFamily(settings, {{0xF0, 0x0F, 0x02}, {0x09}, {0x0A}, 0x01, 0x02, 204, 40}) {}
};

}  // namespace

DRUV_PROFILE(EnsoniqEsq1, "Ensoniq", "ESQ-1")

}  // namespace druv::profiles
