// OB-X8: maker byte 10, id 58, 592 packed bytes (599-byte dump). Banks 0-5 (OB-X8, OB-8, OB-Xa, OB-SX, OB-X, User)
// hold single programs; banks 6 and 7 (Splits, Doubles) answer with combi programs of type 07, whose size is not
// known, so this unit has banks 0-5 only.
#include "simulator/profiles/sequential_family.h"

namespace druv::profiles {
namespace {

class OberheimObx8 : public SequentialFamily {
public:
    explicit OberheimObx8(const ProfileSettings& settings)
        : SequentialFamily(settings, {0x58, false, 6, 128, 592, {0x10}}) {}
};

}  // namespace

DRUV_PROFILE(OberheimObx8, "Oberheim", "OB-X8")

}  // namespace druv::profiles
