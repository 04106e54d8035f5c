// Prophet-6: id 2D, 100 programs per bank (user banks 0-4, factory 5-9), 1171 packed bytes (1178-byte dump).
#include "simulator/profiles/sequential_family.h"

namespace druv::profiles {
namespace {

class SequentialProphet6 : public SequentialFamily {
public:
    explicit SequentialProphet6(const ProfileSettings& settings)
        : SequentialFamily(settings, {0x2D, false, 10, 100, 1171}) {}
};

}  // namespace

DRUV_PROFILE(SequentialProphet6, "Sequential", "Prophet-6")

}  // namespace druv::profiles
