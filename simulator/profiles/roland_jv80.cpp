// Roland JV-80 and JV-880 (model 46, 4-byte addresses, DEV 10-1F): a patch
// is a common block of 0x22 bytes at xx yy 20 00 and four tones at
// xx yy 28 00 to 2B 00, each answered as one DT1, for the temporary patch
// (00 08) and internal patch n (01, 40 + n; n 0..63), so that a request
// loop starts the second address byte at 40. The tone is 0x73 bytes on the
// JV-80 (a patch is 549 bytes of DT1) and 0x74 on the JV-880 (553).
// Checksums from offset 5. The JV-880's layout comes from a source without
// a capture of that unit.
#include "simulator/profiles/profile_bytes.h"
#include "simulator/profiles/roland_family.h"

namespace druv::profiles {
namespace {

uint32_t Address(uint8_t a, uint8_t b, uint8_t c, uint8_t d) { return RolandAddress({a, b, c, d}, 0, 4); }

void AddPatch(RolandLayout& layout, uint8_t area, uint8_t number, size_t toneSize) {
    layout.blocks.push_back({Address(area, number, 0x20, 0x00), 0x22});
    for (uint8_t tone = 0; tone < 4; ++tone)
        layout.blocks.push_back({Address(area, number, static_cast<uint8_t>(0x28 + tone), 0x00), toneSize});
}

RolandLayout Jv80Layout(size_t toneSize) {
    RolandLayout layout;
    layout.model = {0x46};
    layout.addressWidth = 4;
    AddPatch(layout, 0x00, 0x08, toneSize);
    for (uint8_t n = 0; n < 64; ++n) AddPatch(layout, 0x01, static_cast<uint8_t>(0x40 + n), toneSize);
    layout.chunk = 256;
    layout.id = {true, 0x10, 0x1F};
    return layout;
}

class RolandJv80 : public RolandProfile {
public:
    explicit RolandJv80(const ProfileSettings& settings) : RolandProfile(settings, Jv80Layout(0x73)) {}
};

class RolandJv880 : public RolandProfile {
public:
    explicit RolandJv880(const ProfileSettings& settings) : RolandProfile(settings, Jv80Layout(0x74)) {}
};

}  // namespace

DRUV_PROFILE(RolandJv80, "Roland", "JV-80")
DRUV_PROFILE(RolandJv880, "Roland", "JV-880")

}  // namespace druv::profiles
