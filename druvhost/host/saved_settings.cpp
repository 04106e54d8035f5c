#include "druvhost/host/saved_settings.h"

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

}  // namespace druvhost
