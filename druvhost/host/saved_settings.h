// The settings a filter keeps at the head of the bytes it saves with a
// project: its input and output port identities, device ID and MIDI channel.
// A host without the editor page chooses them by changing these bytes
// between the filter's Save and Load: the filter then finds the ports by
// identity in the host's lists, as it does when a project is opened.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "plugin/abi/mp_event.h"

namespace druvhost {

struct SavedSettings {
    MPPortId inPort{};
    MPPortId outPort{};
    uint8_t deviceId = 0;
    uint8_t channel = 0;
};

// What to change; unset fields stay as saved.
struct SettingsChange {
    std::optional<MPPortId> inPort;
    std::optional<MPPortId> outPort;
    std::optional<uint8_t> deviceId;
    std::optional<uint8_t> channel;
};

// False when `saved` does not start with a header of the known format (or
// ends inside it).
bool ReadSavedSettings(const std::vector<uint8_t>& saved, SavedSettings& settings);
// False, and `saved` unchanged, in the same cases.
bool ChangeSavedSettings(std::vector<uint8_t>& saved, const SettingsChange& change);

}  // namespace druvhost

namespace druvhost {

// Whether an item's data holds a dump: a byte other than the FF that closes
// each loop (a loop that timed out leaves only FF).
bool ItemHoldsDump(const std::vector<uint8_t>& data);

// How many of the saved items hold a dump (ItemHoldsDump).
int SavedItemsWithDumps(const std::vector<uint8_t>& saved);

// The data of each saved item in order (one item per template of the
// device): the dump as the transfer engine stores it, each loop closed by FF.
std::vector<std::vector<uint8_t>> SavedItemData(const std::vector<uint8_t>& saved);

}  // namespace druvhost
