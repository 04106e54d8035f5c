// The stored dumps inside the bytes a device's filter saved with a project
// (its persisted store: a "DRUV" header, one "TMPT" chunk per item). They are
// read and written by the plug-in's own store code, so that an import never
// produces bytes the plug-in cannot load, and everything but the imported
// items (ports, device ID, channel, delay, other items) stays as saved.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "druvhost/syx/syx_import.h"

class DRUVDevice;

namespace druvhost {

struct SavedDump {
    std::string item;           // the template's name
    std::vector<uint8_t> data;  // the dump as stored, each loop closed by FF; empty when none
};

// The items of `device` in store order with what `saved` holds for them
// (empty `saved`: a filter that never saved, every item empty). False with
// `error` when the plug-in would refuse the bytes.
bool ReadSavedDumps(const DRUVDevice& device, const std::vector<uint8_t>& saved, std::vector<SavedDump>& dumps,
                    std::string& error);

// Puts the import's items into `saved` (empty: the bytes of a fresh filter of
// `device`). False with `error`, and `saved` unchanged, when the import does
// not fit or the saved bytes cannot be read.
bool ApplyImport(const DRUVDevice& device, const SyxImport& import, std::vector<uint8_t>& saved, std::string& error);

// The SysX messages of the stored dumps of the template named `itemName`
// (ignoring case), or of every item configuration `mask` handles, in stored
// order without loop markers, as one .syx file's bytes. Channel messages that
// a template stored are not SysX and stay out. False with `error` when an
// item holds no dump or holds a broken message.
bool ExportItem(const DRUVDevice& device, const std::vector<uint8_t>& saved, const std::string& itemName,
                std::vector<uint8_t>& syx, std::string& error);
bool ExportConfiguration(const DRUVDevice& device, const std::vector<uint8_t>& saved, uint32_t mask,
                         std::vector<uint8_t>& syx, std::string& error);

// The SysX messages of one stored dump, appended to `syx`. False with
// `error` when a SysX message in it lacks its F7.
bool AppendStoredMessages(const uint8_t* data, size_t length, std::vector<uint8_t>& syx, std::string& error);

}  // namespace druvhost
