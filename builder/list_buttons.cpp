#include "builder/list_buttons.h"

ListButtons EnabledListButtons(int count, int selected, const std::string& name, bool nameTaken) {
    const bool hasSelection = selected >= 0 && selected < count;
    const bool nameUsable = !name.empty() && !nameTaken;
    ListButtons buttons;
    buttons.add = nameUsable;
    buttons.remove = hasSelection;
    buttons.rename = nameUsable && hasSelection;
    buttons.up = hasSelection && selected > 0;
    buttons.down = hasSelection && selected < count - 1;
    return buttons;
}
