// DRUV Host: the plug-in's instruments in a window of their own, with
// projects, without a MIDI host.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "platform/file_system.h"
#include "platform/program_frame/common_controls.h"
#include "platform/registry_editor.h"
#include "platform/wide_text.h"
#include "windowhost/window/host_window.h"

namespace {

// The project named on the command line, if any.
std::string StartProject() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) return std::string();
    const std::string project = count > 1 ? Utf8Text(arguments[1]) : std::string();
    LocalFree(arguments);
    return project.empty() ? project : AbsolutePath(project);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE module, HINSTANCE, PWSTR, int show) {
    // The editor page is an OLE property page: it lives in this thread's
    // single-threaded apartment.
    if (FAILED(OleInitialize(nullptr))) return 1;
    InitialiseFrameControls();
    int status = 1;
    {
        windowhost::HostWindow window(SystemRegistryEditor(), FolderOfPath(ModuleFilePath()), StartProject());
        if (window.Create(module)) {
            window.Show(show);
            status = window.Run();
        }
    }
    OleUninitialize();
    return status;
}
