// Roland VG-88 (model 00 27, 4-byte addresses, DEV 10-1F): patch pp
// (0..99) is 704 bytes at 0C pp 00 00, asked for with size 00 00 05 40 and
// answered as six DT1: five of 128 data bytes and one of 64 (5 x 140 + 76
// = 776 bytes). Checksums from offset 6.
#include "simulator/profiles/profile_bytes.h"
#include "simulator/profiles/roland_family.h"

namespace druv::profiles {
namespace {

constexpr size_t kPatchSize = 5 * 128 + 64;

RolandLayout Vg88Layout() {
    RolandLayout layout;
    layout.model = {0x00, 0x27};
    layout.addressWidth = 4;
    for (uint8_t pp = 0; pp < 100; ++pp)
        layout.blocks.push_back({RolandAddress({0x0C, pp, 0x00, 0x00}, 0, 4), kPatchSize});
    layout.chunk = 128;
    layout.id = {true, 0x10, 0x1F};
    return layout;
}

class RolandVg88 : public RolandProfile {
public:
    explicit RolandVg88(const ProfileSettings& settings) : RolandProfile(settings, Vg88Layout()) {}
};

}  // namespace

DRUV_PROFILE(RolandVg88, "Roland", "VG-88")

}  // namespace druv::profiles
