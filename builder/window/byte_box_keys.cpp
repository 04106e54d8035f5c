#include "builder/window/byte_box_keys.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kByteBoxSubclassId = 1;

LRESULT CALLBACK ByteBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        if (wParam == VK_ESCAPE) return 0;
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(box, &ByteBoxProc, id);
        break;
    default:
        break;
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

}  // namespace

bool KeepEscapeInByteBox(HWND box) {
    return SetWindowSubclass(box, &ByteBoxProc, kByteBoxSubclassId, 0) != FALSE;
}
