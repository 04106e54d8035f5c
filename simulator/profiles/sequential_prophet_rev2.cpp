// Prophet Rev2: id 2F, eight banks of 128 programs, 2339 packed bytes (2346-byte dump).
#include "simulator/profiles/sequential_family.h"

namespace druv::profiles {
namespace {

class SequentialProphetRev2 : public SequentialFamily {
public:
    explicit SequentialProphetRev2(const ProfileSettings& settings)
        : SequentialFamily(settings, {0x2F, false, 8, 128, 2339}) {}
};

}  // namespace

DRUV_PROFILE(SequentialProphetRev2, "Sequential", "Prophet Rev2")

}  // namespace druv::profiles
