// Roland U-220 (and U-20; model 2B, 3-byte addresses, DEV 10-1F). Its data
// are nibbles: a sound patch is 0x50 bytes held as 160 nibbles, patch n at
// 03 00 00 + n x 160 in 7-bit address arithmetic (so the request loop's
// address carries from the low byte into the middle one), asked for with
// size 00 01 20 and answered as two DT1 of 128 and 32 nibbles (138 + 42
// bytes). The edit buffer is a patch at 00 06 00, the setup 16 nibbles at
// 00 00 00. A DT1 whose data are not nibbles is refused.
#include "simulator/profiles/roland_family.h"

namespace druv::profiles {
namespace {

constexpr uint32_t kPatches = 3u << 14;  // 03 00 00
constexpr size_t kPatchSize = 160;
constexpr size_t kPatchCount = 64;

RolandLayout U220Layout() {
    RolandLayout layout;
    layout.model = {0x2B};
    layout.addressWidth = 3;
    layout.blocks.push_back({0x000000, 0x10});
    layout.blocks.push_back({6u << 7, kPatchSize});  // 00 06 00
    layout.blocks.push_back({kPatches, kPatchCount * kPatchSize});
    layout.chunk = 128;
    layout.id = {true, 0x10, 0x1F};
    layout.dataMask = 0x0F;
    return layout;
}

class RolandU220 : public RolandProfile {
public:
    explicit RolandU220(const ProfileSettings& settings) : RolandProfile(settings, U220Layout()) {}
};

}  // namespace

DRUV_PROFILE(RolandU220, "Roland", "U-220")

}  // namespace druv::profiles
