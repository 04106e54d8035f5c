// The manager program: its command line, the one-instance rule, and the
// window run until it is closed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "manager/instrument_manager.h"
#include "manager/window/document_opener.h"

struct ManagerAppSettings {
    std::wstring instanceName;
    std::string executablePath;
    DocumentOpener openDocument = ShellOpenDocument;
};

class CDRUVManagerApp {
public:
    CDRUVManagerApp(ManagerEnvironment environment, ManagerAppSettings settings);

    // Runs the manager with `arguments` (those after the program's name) and
    // the resources of `module`, its window shown as `show` asks. When another
    // manager runs, hands it the files named (exit code 0); without files, or
    // when it does not take them, says that it runs and ends (1) without
    // installing anything. The program's exit code.
    int Run(HINSTANCE module, const std::vector<std::string>& arguments, int show = SW_SHOWNORMAL);

private:
    ManagerEnvironment environment_;
    ManagerAppSettings settings_;
};
