#include "platform/program_frame/about_entry.h"

bool AppendAboutEntry(HWND window, HINSTANCE module, UINT textResource) {
    wchar_t text[256] = {};
    if (LoadStringW(module, textResource, text, static_cast<int>(sizeof text / sizeof text[0])) <= 0) return false;
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu) return false;
    return AppendMenuW(menu, MF_SEPARATOR, 0, nullptr) && AppendMenuW(menu, MF_STRING, kAboutCommand, text);
}

bool IsAboutCommand(UINT message, WPARAM wParam) {
    // The system uses the low four bits of system-menu commands itself.
    return message == WM_SYSCOMMAND && (wParam & 0xFFF0) == kAboutCommand;
}
