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
// tool tips), once per process, whichever thread asks first. Called when a
// page is created, never while the library loads: the loader lock is held
// then, and the common controls may load libraries of their own.
void InitialisePageControls();
