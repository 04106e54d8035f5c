// Yamaha TX81Z: 32-voice bank and the edit-buffer voice (ACED + VCED). The
// performance memory (PMEM) is left out: its request is unconfirmed.
#include "simulator/profiles/yamaha_4op_family.h"

namespace druv::profiles {
namespace {

class YamahaTx81z : public Yamaha4OpFamily {
public:
    explicit YamahaTx81z(const ProfileSettings& settings) : Yamaha4OpFamily(settings, true) {}
};

}  // namespace

DRUV_PROFILE(YamahaTx81z, "Yamaha", "TX81Z")

}  // namespace druv::profiles
