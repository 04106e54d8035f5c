// Roland JD-Xi (model 00 00 00 0E, 4-byte addresses, DEV 10-1F). Only the
// SuperNATURAL synth tone of part 2 is modelled, at 19 21 00 00, as five
// blocks: common +00 00 (0x40 bytes), partials 1-3 +20 00, +21 00, +22 00
// (0x3D each), modify +50 00 (0x25): a request over the tone is answered
// by 5 DT1, 354 bytes. Checksums from offset 8, after the command byte.
#include "simulator/profiles/profile_bytes.h"
#include "simulator/profiles/roland_family.h"

namespace druv::profiles {
namespace {

uint32_t Tone(uint8_t high, uint8_t low) { return RolandAddress({0x19, 0x21, high, low}, 0, 4); }

RolandLayout JdxiLayout() {
    RolandLayout layout;
    layout.model = {0x00, 0x00, 0x00, 0x0E};
    layout.addressWidth = 4;
    layout.blocks = {{Tone(0x00, 0x00), 0x40},
                     {Tone(0x20, 0x00), 0x3D},
                     {Tone(0x21, 0x00), 0x3D},
                     {Tone(0x22, 0x00), 0x3D},
                     {Tone(0x50, 0x00), 0x25}};
    layout.id = {true, 0x10, 0x1F};
    return layout;
}

class RolandJdxi : public RolandProfile {
public:
    explicit RolandJdxi(const ProfileSettings& settings) : RolandProfile(settings, JdxiLayout()) {}
};

}  // namespace

DRUV_PROFILE(RolandJdxi, "Roland", "JD-Xi")

}  // namespace druv::profiles
