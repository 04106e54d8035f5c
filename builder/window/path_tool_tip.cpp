#include "builder/window/path_tool_tip.h"

#include <commctrl.h>

bool FitsInBox(HWND box, const std::wstring& text) {
    RECT client{};
    GetClientRect(box, &client);
    const LRESULT margins = SendMessageW(box, EM_GETMARGINS, 0, 0);
    // One pixel more for the caret the box leaves after its text.
    const LONG room = client.right - client.left - LOWORD(margins) - HIWORD(margins) - 2;
    HDC dc = GetDC(box);
    if (!dc) return true;
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(box, WM_GETFONT, 0, 0)));
    SIZE size{};
    const BOOL measured = GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(box, dc);
    return !measured || size.cx <= room;
}

void PathToolTip::Show(HWND box, const std::wstring& text) {
    if (!tip_ || !IsWindow(tip_) || box_ != box) {
        tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetParent(box), nullptr,
                               nullptr, nullptr);
        if (!tip_) return;
        box_ = box;
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = GetParent(box);
        tool.uId = reinterpret_cast<UINT_PTR>(box);
        tool.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        // A long path breaks at the screen's edge instead of running off it.
        SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN) / 2);
    }
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetParent(box);
    tool.uId = reinterpret_cast<UINT_PTR>(box);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}
