// The window's commands, their menu texts and keys, and when each may be
// chosen. Menus and toolbar show the same enabling.
#pragma once

#include <string>
#include <vector>

namespace windowhost {

enum class HostCommand {
    New,
    Open,
    Save,
    SaveAs,
    OpenRecent,  // each of the recent projects
    Exit,
    Receive,
    Transmit,
    Cancel,
    ImportSyx,
    ExportSyx,
    BackUpAll,
    Detect,
    Manual,
    About,
};

struct HostState {
    bool transferRunning = false;  // a transfer, a probe or Back Up All is under way
    bool instrumentSelected = false;
    bool selectedHoldsDumps = false;  // the project holds dumps of the selected instrument
    size_t instruments = 0;
    bool syxFiles = false;  // whether .syx import and export exist in this build
};

bool IsEnabled(HostCommand command, const HostState& state);

struct HostCommandText {
    HostCommand command;
    const char* menuText;  // with its key after a tab
    const char* toolTip;   // for the toolbar and, while disabled for good, the menu
};

const std::vector<HostCommandText>& HostCommandTexts();
const HostCommandText& TextOf(HostCommand command);

}  // namespace windowhost
