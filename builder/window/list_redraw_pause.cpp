#include "builder/window/list_redraw_pause.h"

ListRedrawPause::ListRedrawPause(HWND dialog, std::initializer_list<int> lists) {
    for (int id : lists) {
        HWND list = GetDlgItem(dialog, id);
        if (!list) continue;
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        lists_.push_back(list);
    }
}

// WM_SETREDRAW TRUE brings the scroll bar up to date; the list then paints
// once, frame and all.
ListRedrawPause::~ListRedrawPause() {
    for (HWND list : lists_) {
        if (!IsWindow(list)) continue;
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
}
