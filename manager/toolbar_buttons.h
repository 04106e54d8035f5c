// Which of the manager's toolbar commands are available for a state of the
// list. The window applies the result after every selection change, and the
// core tells it when an install or a removal has changed the list.
#pragma once

#include "manager/instrument_list.h"

struct ToolbarButtons {
    bool add = true;
    bool remove = false;     // at least one item selected
    bool removeAll = false;  // at least one item in the list
    bool help = true;
};

ToolbarButtons UpdateButtons(const InstrumentList& list);
