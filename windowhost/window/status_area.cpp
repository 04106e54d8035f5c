#include "windowhost/window/status_area.h"

#include <commctrl.h>

#include "platform/wide_text.h"

namespace windowhost {

namespace {

enum Part { kTextPart, kBytesPart, kRatePart, kTimeLeftPart, kProgressPart, kCancelPart, kPartCount };
// Right edges of the parts in client pixels; the last one runs to the end.
constexpr int kPartEnds[kPartCount] = {280, 390, 460, 525, 640, -1};

}  // namespace

bool StatusArea::Create(HWND window, HWND cancelButton, int statusId, int progressId) {
    HINSTANCE module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    bar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(statusId)), module, nullptr);
    if (bar_ == nullptr) return false;
    SendMessageW(bar_, SB_SETPARTS, kPartCount, reinterpret_cast<LPARAM>(kPartEnds));
    RECT part{};
    SendMessageW(bar_, SB_GETRECT, kProgressPart, reinterpret_cast<LPARAM>(&part));
    progress_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, part.left + 1,
                                part.top + 1, part.right - part.left - 2, part.bottom - part.top - 2, bar_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(progressId)), module, nullptr);
    SendMessageW(progress_, PBM_SETRANGE32, 0, 100);

    cancel_ = cancelButton;
    SendMessageW(bar_, SB_GETRECT, kCancelPart, reinterpret_cast<LPARAM>(&part));
    RECT bar{};
    GetWindowRect(bar_, &bar);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bar), 2);
    SetWindowPos(cancel_, HWND_TOP, bar.left + part.left + 2, bar.top + part.top + 1, part.right - part.left - 4,
                 part.bottom - part.top - 2, SWP_NOACTIVATE);
    return progress_ != nullptr;
}

void StatusArea::SetRunning(bool running) {
    ShowFigures(TransferFigures());
    ShowWindow(cancel_, running ? SW_SHOW : SW_HIDE);
    EnableWindow(cancel_, running);
}

void StatusArea::ShowText(const std::string& text) { SetPart(kTextPart, text); }

void StatusArea::ShowFigures(const TransferFigures& figures) {
    SetPart(kBytesPart, figures.bytes);
    SetPart(kRatePart, figures.rate);
    SetPart(kTimeLeftPart, figures.timeLeft);
    SendMessageW(progress_, PBM_SETPOS, figures.percent, 0);
}

void StatusArea::SetPart(int part, const std::string& text) {
    const std::wstring wide = WideText(text);
    SendMessageW(bar_, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(wide.c_str()));
}

}  // namespace windowhost
