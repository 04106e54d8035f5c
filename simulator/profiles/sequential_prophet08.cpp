// Prophet '08: id 23, two banks of 128 programs, 439 packed bytes (446-byte dump).
#include "simulator/profiles/sequential_family.h"

namespace druv::profiles {
namespace {

class SequentialProphet08 : public SequentialFamily {
public:
    explicit SequentialProphet08(const ProfileSettings& settings)
        : SequentialFamily(settings, {0x23, false, 2, 128, 439}) {}
};

}  // namespace

DRUV_PROFILE(SequentialProphet08, "Sequential", "Prophet '08")

}  // namespace druv::profiles
