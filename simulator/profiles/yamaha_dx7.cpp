// Yamaha DX7 (mk I): answers no request; the musician sends the voice bank
// or the current voice from the front panel. Accepts both back (memory
// protect off).
#include "simulator/profiles/yamaha_dx7_family.h"

namespace druv::profiles {
namespace {

class YamahaDx7 : public YamahaDx7Family {
public:
    explicit YamahaDx7(const ProfileSettings& settings) : YamahaDx7Family(settings, false) {}
};

}  // namespace

DRUV_PROFILE(YamahaDx7, "Yamaha", "DX7")

}  // namespace druv::profiles
