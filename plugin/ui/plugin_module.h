// The plug-in file as a module: its handle, recorded when the library is
// loaded, through which the page loads its dialogs, pictures and strings, and
// the folder it lies in.
#pragma once

#include <windows.h>

#include <string>

HINSTANCE PluginModule();
void SetPluginModule(HINSTANCE module);

// The plug-in file's full name up to, not including, its last backslash.
std::string PluginFolder();

// Registers the common control classes the page uses (toolbar, up-down,
// tool tips); called once when the library is loaded.
void InitialisePageControls();
