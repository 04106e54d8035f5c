#include "builder/window/drop_down_fill.h"

#include <string>

void FitDroppedList(HWND dropDown) {
    HDC dc = GetDC(dropDown);
    if (!dc) return;
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(dropDown, WM_GETFONT, 0, 0)));
    LONG widest = 0;
    const LRESULT count = SendMessageW(dropDown, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(SendMessageW(dropDown, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(SendMessageW(dropDown, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]))));
        SIZE size{};
        if (GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size) && size.cx > widest)
            widest = size.cx;
    }
    SelectObject(dc, previous);
    ReleaseDC(dropDown, dc);
    // The list's own margins and a scroll bar, should it need one.
    const LONG margins = 2 * GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXVSCROLL) + 8;
    SendMessageW(dropDown, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + margins), 0);
}
