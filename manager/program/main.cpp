// DRUV Manager: installs device definitions into the host and removes them.
#include <windows.h>

#include "manager/system_environment.h"
#include "manager/window/command_line_arguments.h"
#include "manager/window/manager_app.h"
#include "manager/window/single_instance.h"
#include "platform/file_system.h"

int WINAPI wWinMain(HINSTANCE module, HINSTANCE, PWSTR, int show) {
    CDRUVManagerApp app(SystemManagerEnvironment(), {kManagerInstanceName, ModuleFilePath(), ShellOpenDocument});
    return app.Run(module, CommandLineArguments(GetCommandLineW()), show);
}
