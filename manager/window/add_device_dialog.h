// The Add command's file dialog: which definition files the person chose.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Room for the chosen names, in UTF-16 units. Generous, so that a long
// choice of files from a deep folder fits; a choice that still does not fit
// is told, not taken for a cancel.
constexpr size_t kAddDialogBufferCharacters = 65536;

// Shows the open dialog for ".druv" files over `owner`, starting in the
// Devices folder beside the manager, several files allowed. Returns the full
// paths in the dialog's order; none after Cancel or a dialog that could not
// be shown. When the names did not fit into the buffer it says so in a
// message box and returns none.
std::vector<std::string> ChooseDeviceFiles(HWND owner, const std::string& managerFolder);
