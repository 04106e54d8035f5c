// Take 5: id 35, sixteen banks of 16 programs, 4688 packed bytes (4695-byte dump).
#include "simulator/profiles/sequential_family.h"

namespace druv::profiles {
namespace {

class SequentialTake5 : public SequentialFamily {
public:
    explicit SequentialTake5(const ProfileSettings& settings)
        : SequentialFamily(settings, {0x35, false, 16, 16, 4688}) {}
};

}  // namespace

DRUV_PROFILE(SequentialTake5, "Sequential", "Take 5")

}  // namespace druv::profiles
