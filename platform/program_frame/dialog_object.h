// The dialog procedure of a window built on an object: the object given to
// CreateDialogParamW (or CreateDialogIndirectParamW) as the creation
// parameter is kept in the window, learns its window on WM_INITDIALOG and
// handles every message from then on.
#pragma once

#include <windows.h>

// The body of such a procedure for an object of type `Owner`: `ownerWindow`
// receives the window, `handle` answers each message. A message that comes
// before WM_INITDIALOG is left to the system (FALSE).
template <typename Owner>
INT_PTR ForwardToDialogObject(HWND window, UINT message, WPARAM wParam, LPARAM lParam, HWND Owner::*ownerWindow,
                              INT_PTR (Owner::*handle)(UINT, WPARAM, LPARAM)) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<Owner*>(lParam)->*ownerWindow = window;
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, DWLP_USER));
    return owner ? (owner->*handle)(message, wParam, lParam) : FALSE;
}
