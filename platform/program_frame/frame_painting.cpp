#include "platform/program_frame/frame_painting.h"

void PaintFrame(HWND window, HDC dc, int ruleEnd, HICON icon) {
    if (IsIconic(window)) {
        if (!icon) return;
        RECT client{};
        GetClientRect(window, &client);
        const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
        DrawIcon(dc, x, y, icon);
        return;
    }
    HGDIOBJ previous = SelectObject(dc, GetStockObject(BLACK_PEN));
    MoveToEx(dc, 0, kFrameRuleRow, nullptr);
    LineTo(dc, ruleEnd, kFrameRuleRow);
    SelectObject(dc, previous);
}

void PaintFrameWindow(HWND window, int ruleEnd, HICON icon) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc) PaintFrame(window, dc, ruleEnd, icon);
    EndPaint(window, &paint);
}
