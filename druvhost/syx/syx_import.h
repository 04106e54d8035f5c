// Laying the messages of a .syx file into a device's stored dumps, as a
// receive would have stored them: each item's loops in order, each loop
// closed by FF. An import is planned first and applied only when the whole
// file fits, so that a window can show the plan (which messages go to which
// item, what matched nothing) before the musician confirms, and a refused
// file changes nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "druvhost/syx/syx_file.h"

class DRUVDevice;

namespace druvhost {

struct ItemImport {
    std::string item;          // the template's name, as the store names its item
    size_t firstMessage = 0;   // index into SyxFile::messages
    size_t messageCount = 0;   // messages the item takes
    std::vector<uint8_t> stored;  // the dump as the store keeps it (valid when the import fits)
};

struct SyxImport {
    // The items in the order a receive stores them; on a refusal, those that
    // were laid out before it, the last one possibly in part.
    std::vector<ItemImport> items;
    // Messages that no item takes: from `unmatchedFirst`, `unmatchedCount` of them.
    size_t unmatchedFirst = 0;
    size_t unmatchedCount = 0;
    // Empty when the whole file fits; else why not: what the item expects
    // (loops, messages and bytes per loop) and what the file holds at which
    // message.
    std::string refusal;

    bool Fits() const { return refusal.empty(); }
};

// Into the template (the store's item) named `itemName`, ignoring case as
// transfers do: every message of the file, in file order.
SyxImport PlanItemImport(const DRUVDevice& device, const SyxFile& file, const std::string& itemName);

// Into the items a receive of configuration `mask` handles (mask as
// ChooseConfiguration gives it; 0 for every item), in the order the receive
// stores them, each taking the next messages that fit it.
SyxImport PlanConfigurationImport(const DRUVDevice& device, const SyxFile& file, uint32_t mask);

}  // namespace druvhost
