// Roland JD-800 (model 3D): the temporary patch at 00 00 00 and the 64
// internal patches from 05 00 00, 384 bytes each (patch n at 05 00 00 +
// n x 03 00), answered in DT1 of up to 256 data bytes: a patch as 266 + 138
// bytes, the whole bank (RQ1 05 00 00, size 01 40 00) as 96 x 266. DEV 10-1F.
#include "simulator/profiles/roland_family.h"

namespace druv::profiles {
namespace {

RolandLayout Jd800Layout() {
    RolandLayout layout;
    layout.model = {0x3D};
    layout.addressWidth = 3;
    layout.blocks.push_back({0x000000, 384});
    layout.blocks.push_back({5u << 14, 64 * 384});
    layout.chunk = 256;
    layout.id = {true, 0x10, 0x1F};
    return layout;
}

class RolandJd800 : public RolandProfile {
public:
    explicit RolandJd800(const ProfileSettings& settings) : RolandProfile(settings, Jd800Layout()) {}
};

}  // namespace

DRUV_PROFILE(RolandJd800, "Roland", "JD-800")

}  // namespace druv::profiles
