// Roland XV-3080 (and XV-5080; model 00 10, 4-byte addresses, DEV 10-1F).
// A patch is nine blocks, each answered as one DT1 (1056 bytes in all):
// common 0x4F bytes, MFX 01 11, chorus 0x34, reverb 0x53, tone mix table
// 0x29 and tones 1-4 of 01 09 each (sizes in 7-bit address arithmetic),
// for the temporary patch at 1F 00 00 00 and user patch nn at 30 nn 00 00.
// A request names a patch and a size that may run past it (01 00 00 00);
// the unit sends that patch alone. Checksums from offset 6. The blocks'
// places inside a patch are not published; they are this model's, in the
// order given.
#include "simulator/profiles/profile_bytes.h"
#include "simulator/profiles/roland_family.h"

namespace druv::profiles {
namespace {

constexpr uint32_t kPatchSpan = 1u << 14;  // one step of the second address byte

uint32_t Address(uint8_t a, uint8_t b, uint8_t c, uint8_t d) { return RolandAddress({a, b, c, d}, 0, 4); }

void AddPatch(RolandLayout& layout, uint8_t area, uint8_t number) {
    const struct {
        uint8_t offset;
        size_t size;
    } blocks[] = {{0x00, 0x4F}, {0x02, 0x91}, {0x04, 0x34}, {0x06, 0x53}, {0x10, 0x29},
                  {0x20, 0x89}, {0x22, 0x89}, {0x24, 0x89}, {0x26, 0x89}};
    for (const auto& block : blocks) layout.blocks.push_back({Address(area, number, block.offset, 0x00), block.size});
}

RolandLayout Xv3080Layout() {
    RolandLayout layout;
    layout.model = {0x00, 0x10};
    layout.addressWidth = 4;
    AddPatch(layout, 0x1F, 0x00);
    for (uint8_t number = 0; number < 128; ++number) AddPatch(layout, 0x30, number);
    layout.chunk = 256;
    layout.id = {true, 0x10, 0x1F};
    return layout;
}

class RolandXv3080 : public RolandProfile {
public:
    explicit RolandXv3080(const ProfileSettings& settings) : RolandProfile(settings, Xv3080Layout()) {}

protected:
    void Requested(uint32_t& address, size_t& size) const override {
        const uint32_t patchEnd = (address / kPatchSpan + 1) * kPatchSpan;
        if (address + size > patchEnd) size = patchEnd - address;
    }
};

}  // namespace

DRUV_PROFILE(RolandXv3080, "Roland", "XV-3080")

}  // namespace druv::profiles
