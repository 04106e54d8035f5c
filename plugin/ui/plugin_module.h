// The plug-in file as a module: its handle, recorded when the library is
// loaded, through which the page loads its dialogs, pictures and strings, and
// the folder it lies in.
#pragma once

#include <windows.h>

#include <string>

HINSTANCE PluginModule();
void SetPluginModule(HINSTANCE module);

// "Manual.pdf" in the plug-in file's folder, as a full path at any length;
// empty when the plug-in file's own path cannot be had.
std::string ManualPath();

// Registers the common control classes the page uses (toolbar, up-down,
// tool tips), once per process, whichever thread asks first. Called when a
// page is created, never while the library loads: the loader lock is held
// then, and the common controls may load libraries of their own.
void InitialisePageControls();
