#include "manager/window/manager_app.h"

#include <utility>

#include "contract/program_files.h"
#include "manager/command_line_info.h"
#include "manager/window/manager_dialog.h"
#include "manager/window/running_manager.h"
#include "manager/window/single_instance.h"
#include "platform/message_box.h"
#include "platform/program_frame/common_controls.h"

CDRUVManagerApp::CDRUVManagerApp(ManagerEnvironment environment, ManagerAppSettings settings)
    : environment_(std::move(environment)), settings_(std::move(settings)) {}

int CDRUVManagerApp::Run(HINSTANCE module, const std::vector<std::string>& arguments, int show) {
    DRUVCommandLineInfo commandLine;
    commandLine.ParseArguments(arguments);

    const SingleInstance instance(settings_.instanceName);
    if (!instance.First()) {
        // Files opened from the shell while the manager runs go to it; only
        // a start without files, or one the running manager did not take,
        // is told to use the open window.
        if (!commandLine.Files().empty() &&
            HandFilesToRunningManager(settings_.instanceName, commandLine.Files(), kWaitForRunningManagerMs))
            return 0;
        ShowMessageBox("DRUV Manager is already running.\nPlease add instrument using the Add option\n"
                       "or drag and drop the files into the DRUV window",
                       kManagerCaption, MessageIcon::Error, MessageButtons::Ok, nullptr);
        return 1;
    }

    InitialiseFrameControls();
    const ManagerWindowStart start{settings_.executablePath, commandLine.Files(), settings_.openDocument,
                                   settings_.instanceName};
    CDRUVManagerDlg window(environment_, start);
    if (!window.Create(module)) return 1;
    window.Show(show);
    return window.Run();
}
