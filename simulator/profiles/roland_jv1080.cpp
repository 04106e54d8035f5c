// Roland JV-1080 (model 6A, 4-byte addresses): a patch is five blocks, the
// common part (0x48 bytes) at xx nn 00 00 and tones 1-4 (0x81 bytes each)
// at xx nn 10 00, 12 00, 14 00, 16 00, for the user patches (xx 11, nn
// 0..127) and the temporary patch (03 00 ..); the system common part is at
// 00 00 00 00 (0x28 bytes). Each block is answered as one DT1 (83 or 140
// bytes). The front-panel data transfer sends the 128 user patches as 640
// DT1. DEV 10-1F.
#include "simulator/profiles/roland_family.h"

#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

uint32_t Address(uint8_t a, uint8_t b, uint8_t c, uint8_t d) { return RolandAddress({a, b, c, d}, 0, 4); }

void AddPatch(RolandLayout& layout, uint8_t area, uint8_t number) {
    layout.blocks.push_back({Address(area, number, 0x00, 0x00), 0x48});
    for (uint8_t tone = 0; tone < 4; ++tone)
        layout.blocks.push_back({Address(area, number, static_cast<uint8_t>(0x10 + 2 * tone), 0x00), 0x81});
}

RolandLayout Jv1080Layout() {
    RolandLayout layout;
    layout.model = {0x6A};
    layout.addressWidth = 4;
    layout.blocks.push_back({Address(0x00, 0x00, 0x00, 0x00), 0x28});
    AddPatch(layout, 0x03, 0x00);
    for (uint8_t number = 0; number < 128; ++number) AddPatch(layout, 0x11, number);
    layout.chunk = 256;
    layout.id = {true, 0x10, 0x1F};
    return layout;
}

class RolandJv1080 : public RolandProfile {
public:
    explicit RolandJv1080(const ProfileSettings& settings) : RolandProfile(settings, Jv1080Layout()) {}

    std::vector<std::string> PanelActions() const override { return {"user patches"}; }

protected:
    bool PanelDump(const std::string& action, std::vector<Bytes>& messages) override {
        if (action != "user patches") return false;
        messages = DataSet(Address(0x11, 0x00, 0x00, 0x00), Address(0x12, 0x00, 0x00, 0x00) - Address(0x11, 0x00, 0x00, 0x00));
        return true;
    }
};

}  // namespace

DRUV_PROFILE(RolandJv1080, "Roland", "JV-1080")

}  // namespace druv::profiles
