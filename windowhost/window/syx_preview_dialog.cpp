#include "windowhost/window/syx_preview_dialog.h"

#include <algorithm>

#include "platform/wide_text.h"
#include "windowhost/resources/window_host_resource_ids.h"

namespace windowhost {

namespace {

// Room for the widest row, so that the list scrolls sideways to it.
void FitRows(HWND list) {
    HDC context = GetDC(list);
    HGDIOBJ font = SelectObject(context, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
    LONG widest = 0;
    const int rows = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        wchar_t text[1024] = {};
        if (SendMessageW(list, LB_GETTEXTLEN, row, 0) >= 1023) continue;
        SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
        SIZE size{};
        GetTextExtentPoint32W(context, text, static_cast<int>(wcslen(text)), &size);
        widest = std::max(widest, size.cx);
    }
    SelectObject(context, font);
    ReleaseDC(list, context);
    SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
}

INT_PTR CALLBACK PreviewProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const auto* preview = reinterpret_cast<const SyxPreview*>(lParam);
        SetDlgItemTextW(dialog, IDC_SYX_HEADING, WideText(preview->heading).c_str());
        HWND list = GetDlgItem(dialog, IDC_SYX_ROWS);
        for (const std::string& line : preview->lines)
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(line).c_str()));
        FitRows(list);
        EnableWindow(GetDlgItem(dialog, IDOK), preview->fits ? TRUE : FALSE);
        SetFocus(GetDlgItem(dialog, preview->fits ? IDOK : IDCANCEL));
        return FALSE;  // the focus is set
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

bool ShowSyxPreview(HINSTANCE module, HWND owner, const SyxPreview& preview) {
    const INT_PTR chosen = DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_SYX_PREVIEW), owner, &PreviewProc,
                                           reinterpret_cast<LPARAM>(&preview));
    return chosen == IDOK && preview.fits;
}

}  // namespace windowhost
