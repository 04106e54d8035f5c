// Prophet-5 and Prophet-10 (rev 4): id 32, ten banks of 40 programs (user 0-4, factory 5-9), 152 packed bytes
// (159-byte dump).
#include "simulator/profiles/sequential_family.h"

namespace druv::profiles {
namespace {

class SequentialProphet5 : public SequentialFamily {
public:
    explicit SequentialProphet5(const ProfileSettings& settings)
        : SequentialFamily(settings, {0x32, false, 10, 40, 152}) {}
};

}  // namespace

DRUV_PROFILE(SequentialProphet5, "Sequential", "Prophet-5")

}  // namespace druv::profiles
