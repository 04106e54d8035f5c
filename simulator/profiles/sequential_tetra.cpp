// Tetra: id 26, four banks of 128 programs, 439 packed bytes (446-byte dump). Combos are not modelled: their request is
// not known.
#include "simulator/profiles/sequential_family.h"

namespace druv::profiles {
namespace {

class SequentialTetra : public SequentialFamily {
public:
    explicit SequentialTetra(const ProfileSettings& settings)
        : SequentialFamily(settings, {0x26, false, 4, 128, 439}) {}
};

}  // namespace

DRUV_PROFILE(SequentialTetra, "Sequential", "Tetra")

}  // namespace druv::profiles
