// Waldorf Kyra: `F0 3E 22 dd 20 01 bb pp F7` asks for patch pp (0..127) of
// bank bb (0..25), or with 7F 7F for the current one; the answer is
// `F0 3E 22 dd 40 01 bb pp [224] cs F7` (234 bytes). A patch sent to the unit
// carries 00 01 where the answer has 40 01; whether the unit ignores its own
// answer sent back is not known, so that is stored too. Storing a patch does
// not change the current one.
#include "simulator/profiles/waldorf_family.h"

namespace druv::profiles {
namespace {

class WaldorfKyra : public WaldorfFamily {
public:
    explicit WaldorfKyra(const ProfileSettings& settings) : WaldorfFamily(settings, Format()) {}

private:
    static WaldorfFormat Format() {
        WaldorfFormat format;
        format.model = 0x22;
        format.requestType = {0x20, 0x01};
        format.dumpType = {0x40, 0x01};
        format.writeTypes = {{0x00, 0x01}};
        format.banks = 26;
        format.programs = 128;
        format.editAddress = {0x7F, 0x7F};
        format.dataSize = 224;
        return format;
    }
};

}  // namespace

DRUV_PROFILE(WaldorfKyra, "Waldorf", "Kyra")

}  // namespace druv::profiles
