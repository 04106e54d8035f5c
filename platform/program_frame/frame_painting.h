// What the frame paints itself: a black line under the toolbar while the
// window is open, the program's icon while it is minimised.
#pragma once

#include <windows.h>

constexpr int kFrameRuleRow = 28;  // the first client row below the toolbar

// Draws into `dc`, which covers the client area of `window`: while it is not
// minimised a solid black line one pixel wide along row kFrameRuleRow from
// x = 0 up to `ruleEnd`; while minimised `icon` centred in the client area.
void PaintFrame(HWND window, HDC dc, int ruleEnd, HICON icon);

// WM_PAINT: validates the window and paints it as above.
void PaintFrameWindow(HWND window, int ruleEnd, HICON icon);

// The answer to WM_QUERYDRAGICON: the icon a minimised frame is dragged by.
inline LRESULT FrameDragIcon(HICON icon) { return reinterpret_cast<LRESULT>(icon); }
