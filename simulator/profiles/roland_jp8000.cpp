// Roland JP-8000 (and JP-8080; model 00 06, 4-byte addresses, DEV 10-1F):
// no dump request is known. The front-panel bulk dump is a stream of 641
// DT1 without terminator, by area (the first address byte): 00 (4
// messages), 02 (the 128 patches, 251 bytes each), 03 (320), 08 (161), 09
// (15), 0A (13); checksums from offset 6. Only the patches' size is
// published, so the other messages here have lengths of their own, fixed
// per address, between 28 and 251 bytes; a receive of the whole dump must
// end by the message count or when the unit falls quiet. Addresses inside
// an area are this model's (the unit takes back what it sent).
#include "simulator/profiles/profile_bytes.h"
#include "simulator/profiles/roland_family.h"

namespace druv::profiles {
namespace {

struct Area {
    uint8_t number;
    uint32_t messages;
};

constexpr Area kAreas[] = {{0x00, 4}, {0x02, 128}, {0x03, 320}, {0x08, 161}, {0x09, 15}, {0x0A, 13}};
constexpr size_t kPatchData = 239;  // 251-byte messages
constexpr size_t kShortest = 16;

RolandLayout Jp8000Layout() {
    RolandLayout layout;
    layout.model = {0x00, 0x06};
    layout.addressWidth = 4;
    for (const Area& area : kAreas) {
        for (uint32_t i = 0; i < area.messages; ++i) {
            size_t size = kPatchData;
            if (area.number != 0x02) {
                const Bytes pick =
                    SeededBytes(0, "JP-8000 area " + std::to_string(area.number) + " " + std::to_string(i), 1);
                size = kShortest + pick[0] % (kPatchData - kShortest + 1);
            }
            layout.blocks.push_back({(uint32_t{area.number} << 21) + i * 256, size});
        }
    }
    layout.chunk = kPatchData;
    layout.id = {true, 0x10, 0x1F};
    return layout;
}

class RolandJp8000 : public RolandProfile {
public:
    explicit RolandJp8000(const ProfileSettings& settings) : RolandProfile(settings, Jp8000Layout()) {}

    std::vector<std::string> PanelActions() const override { return {"bulk dump"}; }

protected:
    bool HandleRequest(const Bytes&, std::vector<Bytes>&) override { return false; }

    bool PanelDump(const std::string& action, std::vector<Bytes>& messages) override {
        if (action != "bulk dump") return false;
        messages = DataSet(0, uint32_t{0x0B} << 21);
        return true;
    }
};

}  // namespace

DRUV_PROFILE(RolandJp8000, "Roland", "JP-8000")

}  // namespace druv::profiles
