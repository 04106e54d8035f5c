// The window's list control as a mirror of the manager's list: the core owns
// the items and their selection; the control shows them and reports what the
// person selects.
#pragma once

#include <windows.h>

#include "manager/instrument_manager.h"

// Replaces the control's items with the list's display names and selection.
void ShowInstrumentList(HWND listBox, const InstrumentList& list);

// Hands the control's selection to the manager, item by item.
void TakeListSelection(HWND listBox, InstrumentManager& manager);
