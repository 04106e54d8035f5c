// OB-6: as the Prophet-6 with id 2E.
#include "simulator/profiles/sequential_family.h"

namespace druv::profiles {
namespace {

class SequentialOb6 : public SequentialFamily {
public:
    explicit SequentialOb6(const ProfileSettings& settings)
        : SequentialFamily(settings, {0x2E, false, 10, 100, 1171}) {}
};

}  // namespace

DRUV_PROFILE(SequentialOb6, "Sequential", "OB-6")

}  // namespace druv::profiles
