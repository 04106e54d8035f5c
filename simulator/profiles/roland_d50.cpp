// Roland D-50: the temporary patch at 00 00 00 (seven blocks of 0x40:
// upper partials 1 and 2, upper common, lower partials, lower common,
// patch), each answered to RQ1 with one DT1 of 74 bytes; the internal
// memory from 02 00 00 (34688 bytes), which the front-panel Bulk Dump sends
// as 136 DT1 (135 of 256 data bytes, the last of 128). DEV 00-0F is the
// basic channel - 1.
#include "simulator/profiles/roland_family.h"

namespace druv::profiles {
namespace {

constexpr uint32_t kInternal = 2u << 14;  // 02 00 00
constexpr size_t kInternalSize = 135 * 256 + 128;

RolandLayout D50Layout() {
    RolandLayout layout;
    layout.model = {0x14};
    layout.addressWidth = 3;
    for (uint32_t block = 0; block < 7; ++block) layout.blocks.push_back({block * 0x40, 0x40});
    layout.blocks.push_back({kInternal, kInternalSize});
    layout.chunk = 256;
    layout.id = {true, 0x00, 0x0F};
    return layout;
}

class RolandD50 : public RolandProfile {
public:
    explicit RolandD50(const ProfileSettings& settings) : RolandProfile(settings, D50Layout()) {}

    std::vector<std::string> PanelActions() const override { return {"bulk dump"}; }

protected:
    bool PanelDump(const std::string& action, std::vector<Bytes>& messages) override {
        if (action != "bulk dump") return false;
        messages = DataSet(kInternal, kInternalSize);
        return true;
    }
};

}  // namespace

DRUV_PROFILE(RolandD50, "Roland", "D-50")

}  // namespace druv::profiles
