// Prophet X: id 30, twelve banks of 128 programs, 4683 packed bytes (4690-byte dump).
#include "simulator/profiles/sequential_family.h"

namespace druv::profiles {
namespace {

class SequentialProphetX : public SequentialFamily {
public:
    explicit SequentialProphetX(const ProfileSettings& settings)
        : SequentialFamily(settings, {0x30, false, 12, 128, 4683}) {}
};

}  // namespace

DRUV_PROFILE(SequentialProphetX, "Sequential", "Prophet X")

}  // namespace druv::profiles
