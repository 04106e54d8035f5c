// The per-user stored copy of the manager's list: the key
// HKCU\SOFTWARE\Tavrel\Lindqor\DRUV with "Count" and one binary record per
// item, named "0", "1", … in list order.
#pragma once

#include "manager/instrument_list.h"
#include "platform/registry_editor.h"

// Appends the stored items to `list`. No key or no Count gives nothing, and
// no message. A numbered value that is missing, not binary or shorter than a
// record is skipped. Count is not trusted: after 16 numbers in a row without
// a value the stored list is taken to have ended, so a damaged Count cannot
// keep the manager reading for billions of numbers.
void LoadInstrumentList(RegistryEditor& registry, InstrumentList& list);

// Writes Count and every item's record. When the key cannot be opened or
// created, or a write is refused, shows the key path in a "Registry Open
// Error" box (owned by `owner`) and returns false.
bool SaveInstrumentList(RegistryEditor& registry, const InstrumentList& list, void* owner = nullptr);
