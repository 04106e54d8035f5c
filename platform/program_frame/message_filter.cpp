#include "platform/program_frame/message_filter.h"

#include <initializer_list>

namespace {

constexpr UINT kCopyGlobalDataMessage = 0x0049;  // carries the data of WM_DROPFILES across processes
constexpr DWORD kAllowMessage = 1;

// Looked up at run time: older systems, and some versions of Wine, lack it.
using ChangeWindowMessageFilterExFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);

ChangeWindowMessageFilterExFunction FindFilterFunction() {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) return nullptr;
    return reinterpret_cast<ChangeWindowMessageFilterExFunction>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilterEx")));
}

}  // namespace

MessageFilterResult AllowDropsFromLowerRights(HWND window) {
    if (!IsWindow(window)) return MessageFilterResult::Refused;
    const ChangeWindowMessageFilterExFunction change = FindFilterFunction();
    if (!change) return MessageFilterResult::Unavailable;
    bool allowed = true;
    for (UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), kCopyGlobalDataMessage})
        allowed = change(window, message, kAllowMessage, nullptr) && allowed;
    return allowed ? MessageFilterResult::Allowed : MessageFilterResult::Refused;
}
