#include "windowhost/core/host_commands.h"

namespace windowhost {

bool IsEnabled(HostCommand command, const HostState& state) {
    const bool idle = !state.transferRunning;
    switch (command) {
        case HostCommand::New:
        case HostCommand::Open:
        case HostCommand::OpenRecent:
        case HostCommand::Save:
        case HostCommand::SaveAs: return idle;
        case HostCommand::Exit: return true;
        case HostCommand::Receive: return idle && state.instrumentSelected;
        case HostCommand::Transmit: return idle && state.instrumentSelected && state.selectedHoldsDumps;
        case HostCommand::Cancel: return state.transferRunning;
        case HostCommand::ImportSyx: return state.syxFiles && idle && state.instrumentSelected;
        case HostCommand::ExportSyx:
            return state.syxFiles && idle && state.instrumentSelected && state.selectedHoldsDumps;
        case HostCommand::BackUpAll:
        case HostCommand::Detect: return idle && state.instruments > 0;
        case HostCommand::Manual:
        case HostCommand::About: return true;
    }
    return false;
}

const std::vector<HostCommandText>& HostCommandTexts() {
    static const std::vector<HostCommandText> texts = {
        {HostCommand::New, "&New\tCtrl+N", "New project"},
        {HostCommand::Open, "&Open...\tCtrl+O", "Open a project"},
        {HostCommand::Save, "&Save\tCtrl+S", "Save the project"},
        {HostCommand::SaveAs, "Save &As...", "Save the project under another name"},
        {HostCommand::OpenRecent, "", "Open this project"},
        {HostCommand::Exit, "E&xit", "Close DRUV Host"},
        {HostCommand::Receive, "&Receive\tF5", "Receive the chosen configuration from the instrument"},
        {HostCommand::Transmit, "&Transmit\tShift+F5", "Transmit the chosen configuration to the instrument"},
        {HostCommand::Cancel, "&Cancel\tEsc", "Cancel the transfer"},
        {HostCommand::ImportSyx, "&Import .syx...", "Import a .syx file into the chosen configuration"},
        {HostCommand::ExportSyx, "&Export .syx...", "Export the chosen configuration to .syx files"},
        {HostCommand::BackUpAll, "&Back Up All", "Receive every instrument that answers into the project"},
        {HostCommand::Detect, "&Detect Instruments", "Ask every instrument whether it answers"},
        {HostCommand::Manual, "&Manual\tF1", "Open the manual"},
        {HostCommand::About, "&About DRUV Host...", "About DRUV Host"},
    };
    return texts;
}

const HostCommandText& TextOf(HostCommand command) {
    for (const HostCommandText& text : HostCommandTexts())
        if (text.command == command) return text;
    return HostCommandTexts().front();
}

}  // namespace windowhost
