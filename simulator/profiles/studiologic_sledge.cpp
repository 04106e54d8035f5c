// Studiologic Sledge: `F0 3E 15 dd 00 bb pp F7` asks for sound pp (0..127)
// of bank bb (0..7), or with bb 7F pp 00 for the edit buffer; the answer is
// `F0 3E 15 dd 10 bb pp [383] cs F7` (392 bytes), the same message a unit
// stores.
#include "simulator/profiles/waldorf_family.h"

namespace druv::profiles {
namespace {

class StudiologicSledge : public WaldorfFamily {
public:
    explicit StudiologicSledge(const ProfileSettings& settings) : WaldorfFamily(settings, Format()) {}

private:
    static WaldorfFormat Format() {
        WaldorfFormat format;
        format.model = 0x15;
        format.requestType = {0x00};
        format.dumpType = {0x10};
        format.banks = 8;
        format.programs = 128;
        format.editAddress = {0x7F, 0x00};
        format.dataSize = 383;
        return format;
    }
};

}  // namespace

DRUV_PROFILE(StudiologicSledge, "Studiologic", "Sledge")

}  // namespace druv::profiles
