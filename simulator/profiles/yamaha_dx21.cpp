// Yamaha DX21: 32-voice bank and the edit-buffer voice (VCED only).
#include "simulator/profiles/yamaha_4op_family.h"

namespace druv::profiles {
namespace {

class YamahaDx21 : public Yamaha4OpFamily {
public:
    explicit YamahaDx21(const ProfileSettings& settings) : Yamaha4OpFamily(settings, false) {}
};

}  // namespace

DRUV_PROFILE(YamahaDx21, "Yamaha", "DX21")

}  // namespace druv::profiles
