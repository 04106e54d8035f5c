// Roland's LA synthesizers (model 16): RQ1 and DT1 with 3-byte addresses,
// DEV 10-1F. Only the timbre memory at 08 00 00 is modelled: 64 timbres,
// timbre n at 08 (2n) 00, so that a request loop steps the middle address
// byte by 2 and must renew the request's checksum each time.
//   MT-32  timbre of 246 bytes (size 00 01 76), one DT1 of 256 bytes; the
//          stretch after each timbre, up to the next, holds nothing
//   D-10   (and its module, the D-110) 256 bytes a timbre, the timbre memory
//          one run of 64 x 256 that goes out as 64 DT1 of 266 bytes
// The other areas (temporary timbres, patches, system) are left out: their
// sizes are not known. The MT-32's addresses come from a source without a
// capture of the unit itself.
#include "simulator/profiles/roland_family.h"

namespace druv::profiles {
namespace {

constexpr uint32_t kTimbres = 8u << 14;  // 08 00 00
constexpr uint32_t kTimbreStride = 2u << 7;
constexpr size_t kTimbreCount = 64;

RolandLayout LaLayout(size_t timbreSize) {
    RolandLayout layout;
    layout.model = {0x16};
    layout.addressWidth = 3;
    if (timbreSize == kTimbreStride) {
        layout.blocks.push_back({kTimbres, kTimbreCount * kTimbreStride});
    } else {
        for (uint32_t n = 0; n < kTimbreCount; ++n) layout.blocks.push_back({kTimbres + n * kTimbreStride, timbreSize});
    }
    layout.chunk = 256;
    layout.id = {true, 0x10, 0x1F};
    return layout;
}

class RolandMt32 : public RolandProfile {
public:
    explicit RolandMt32(const ProfileSettings& settings) : RolandProfile(settings, LaLayout(246)) {}
};

class RolandD10 : public RolandProfile {
public:
    explicit RolandD10(const ProfileSettings& settings) : RolandProfile(settings, LaLayout(kTimbreStride)) {}
};

class RolandD110 : public RolandD10 {
public:
    using RolandD10::RolandD10;
};

}  // namespace

DRUV_PROFILE(RolandMt32, "Roland", "MT-32")
DRUV_PROFILE(RolandD10, "Roland", "D-10")
DRUV_PROFILE(RolandD110, "Roland", "D-110")

}  // namespace druv::profiles
