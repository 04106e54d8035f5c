// Roland TD-6 (model 00 3F, 4-byte addresses, DEV 10-1F): drum kit pp is
// asked for at 41 pp 00 00 with size 00 00 00 00 (the whole kit) and
// answered as 13 DT1: the kit's common part (25 data bytes, 37 in the
// message) and 12 blocks of 43 (55 each), 697 bytes. pp 7F, whose request
// has the fixed checksum 40, asks for every kit. Checksums from offset 6.
// The kit count (99) and the blocks' places inside a kit (common at
// 41 pp 00 00, block i at 41 pp 01+i 00) are not published; they are this
// model's.
#include "simulator/profiles/profile_bytes.h"
#include "simulator/profiles/roland_family.h"

namespace druv::profiles {
namespace {

constexpr uint8_t kKits = 99;
constexpr uint8_t kAllKits = 0x7F;
constexpr uint32_t kKitSpan = 1u << 14;

uint32_t KitAddress(uint8_t kit) { return RolandAddress({0x41, kit, 0x00, 0x00}, 0, 4); }

RolandLayout Td6Layout() {
    RolandLayout layout;
    layout.model = {0x00, 0x3F};
    layout.addressWidth = 4;
    for (uint8_t kit = 0; kit < kKits; ++kit) {
        layout.blocks.push_back({KitAddress(kit), 25});
        for (uint8_t block = 0; block < 12; ++block)
            layout.blocks.push_back({RolandAddress({0x41, kit, static_cast<uint8_t>(1 + block), 0x00}, 0, 4), 43});
    }
    layout.chunk = 256;
    layout.id = {true, 0x10, 0x1F};
    return layout;
}

class RolandTd6 : public RolandProfile {
public:
    explicit RolandTd6(const ProfileSettings& settings) : RolandProfile(settings, Td6Layout()) {}

protected:
    // Size 0 means "the whole kit" at a kit's address, every kit at kit 7F.
    void Requested(uint32_t& address, size_t& size) const override {
        if (size != 0) return;
        if (address == KitAddress(kAllKits)) {
            address = KitAddress(0);
            size = kKits * kKitSpan;
        } else if (address >= KitAddress(0) && address < KitAddress(kKits) && address % kKitSpan == 0) {
            size = kKitSpan;
        }
    }
};

}  // namespace

DRUV_PROFILE(RolandTd6, "Roland", "TD-6")

}  // namespace druv::profiles
