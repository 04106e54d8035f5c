// Yamaha TX7: the DX7 formats, with bank and edit-buffer requests.
#include "simulator/profiles/yamaha_dx7_family.h"

namespace druv::profiles {
namespace {

class YamahaTx7 : public YamahaDx7Family {
public:
    explicit YamahaTx7(const ProfileSettings& settings) : YamahaDx7Family(settings, true) {}
    std::vector<std::string> PanelActions() const override { return {}; }
};

}  // namespace

DRUV_PROFILE(YamahaTx7, "Yamaha", "TX7")

}  // namespace druv::profiles
