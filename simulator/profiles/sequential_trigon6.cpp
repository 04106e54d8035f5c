// Trigon-6: id 39, ten banks of 100 programs, 1171 packed bytes (1178-byte dump).
#include "simulator/profiles/sequential_family.h"

namespace druv::profiles {
namespace {

class SequentialTrigon6 : public SequentialFamily {
public:
    explicit SequentialTrigon6(const ProfileSettings& settings)
        : SequentialFamily(settings, {0x39, false, 10, 100, 1171}) {}
};

}  // namespace

DRUV_PROFILE(SequentialTrigon6, "Sequential", "Trigon-6")

}  // namespace druv::profiles
