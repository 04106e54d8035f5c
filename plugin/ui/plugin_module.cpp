#include "plugin/ui/plugin_module.h"

#include <commctrl.h>

#include <mutex>

#include "platform/wide_text.h"

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

std::string PluginFolder() {
    wchar_t name[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(PluginModule(), name, MAX_PATH);
    if (length == 0 || length > MAX_PATH) return std::string();
    const std::string path = Utf8Text(name);
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(0, slash);
}

void InitialisePageControls() {
    static std::once_flag once;
    std::call_once(once, [] {
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
    });
}
