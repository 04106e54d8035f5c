#include "platform/program_frame/common_controls.h"

#include <windows.h>
#include <commctrl.h>

#include <mutex>

void InitialiseFrameControls() {
    static std::once_flag once;
    std::call_once(once, [] {
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    });
}
