#include "manager/toolbar_buttons.h"

ToolbarButtons UpdateButtons(const InstrumentList& list) {
    ToolbarButtons buttons;
    buttons.remove = list.SelectedCount() > 0;
    buttons.removeAll = !list.Empty();
    return buttons;
}
