#include "druvhost/host/saved_settings.h"

#include <algorithm>
#include <cstring>

namespace druvhost {

namespace {

// "DRUV", length, format 1, revision 0, then three texts of a length byte
// and that many bytes; the settings follow the third text.
bool SettingsOffset(const std::vector<uint8_t>& saved, size_t& offset) {
    if (saved.size() < 11 || std::memcmp(saved.data(), "DRUV", 4) != 0 || saved[8] != 1 || saved[9] != 0)
        return false;
    size_t at = 10;
    for (int text = 0; text < 3; ++text) {
        if (at >= saved.size()) return false;
        at += 1 + saved[at];
    }
    if (saved.size() < at + 34) return false;
    offset = at;
    return true;
}

}  // namespace

bool ReadSavedSettings(const std::vector<uint8_t>& saved, SavedSettings& settings) {
    size_t at = 0;
    if (!SettingsOffset(saved, at)) return false;
    std::memcpy(&settings.inPort, saved.data() + at, 16);
    std::memcpy(&settings.outPort, saved.data() + at + 16, 16);
    settings.deviceId = saved[at + 32];
    settings.channel = saved[at + 33];
    return true;
}

bool ChangeSavedSettings(std::vector<uint8_t>& saved, const SettingsChange& change) {
    size_t at = 0;
    if (!SettingsOffset(saved, at)) return false;
    if (change.inPort) std::memcpy(saved.data() + at, &*change.inPort, 16);
    if (change.outPort) std::memcpy(saved.data() + at + 16, &*change.outPort, 16);
    if (change.deviceId) saved[at + 32] = *change.deviceId;
    if (change.channel) saved[at + 33] = *change.channel;
    return true;
}

std::vector<std::vector<uint8_t>> SavedItemData(const std::vector<uint8_t>& saved) {
    std::vector<std::vector<uint8_t>> items;
    size_t at = 0;
    if (!SettingsOffset(saved, at)) return items;
    at += 42;  // settings, chunk count and item delay
    const auto u32 = [&saved](size_t offset) {
        return uint32_t(saved[offset]) << 24 | uint32_t(saved[offset + 1]) << 16 | uint32_t(saved[offset + 2]) << 8 |
               uint32_t(saved[offset + 3]);
    };
    while (saved.size() >= at + 9 && std::memcmp(saved.data() + at, "TMPT", 4) == 0) {
        const size_t name = saved[at + 8];
        if (saved.size() < at + 13 + name) break;
        const uint32_t length = u32(at + 9 + name);
        const size_t data = at + 13 + name;
        if (saved.size() - data < length) break;
        items.emplace_back(saved.begin() + static_cast<std::ptrdiff_t>(data),
                           saved.begin() + static_cast<std::ptrdiff_t>(data + length));
        at = data + length;
    }
    return items;
}

// An item whose bytes are all FF holds no dump: that is how the store keeps
// an item that never received one.
bool ItemHoldsDump(const std::vector<uint8_t>& data) {
    return std::any_of(data.begin(), data.end(), [](uint8_t byte) { return byte != 0xFF; });
}

int SavedItemsWithDumps(const std::vector<uint8_t>& saved) {
    int holding = 0;
    for (const std::vector<uint8_t>& item : SavedItemData(saved))
        if (ItemHoldsDump(item)) ++holding;
    return holding;
}

}  // namespace druvhost
