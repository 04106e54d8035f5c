#include "plugin/ui/plugin_module.h"

#include <commctrl.h>

#include <mutex>

#include "contract/program_files.h"
#include "platform/file_system.h"

namespace {

HINSTANCE& Module() {
    static HINSTANCE module = nullptr;
    return module;
}

}  // namespace

HINSTANCE PluginModule() {
    return Module() ? Module() : GetModuleHandleA(nullptr);
}

void SetPluginModule(HINSTANCE module) {
    Module() = module;
}

std::string ManualPath() {
    const std::string plugin = LoadedModuleFilePath(PluginModule());
    const size_t slash = plugin.find_last_of("\\/");
    if (slash == std::string::npos) return std::string();
    return plugin.substr(0, slash + 1) + kManualFileName;
}

void InitialisePageControls() {
    static std::once_flag once;
    std::call_once(once, [] {
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
    });
}
