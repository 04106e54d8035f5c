// The status bar: the plug-in's progress text, bytes done of total, rate,
// time left, the progress bar and, while a transfer runs, its Cancel button.
#pragma once

#include <windows.h>

#include <string>

#include "windowhost/core/transfer_figures.h"

namespace windowhost {

class StatusArea {
public:
    // Creates the status bar at the bottom of `window` with the progress
    // bar in it; `cancelButton` is the window's own button, laid over the
    // bar's last part so that its clicks reach the window.
    bool Create(HWND window, HWND cancelButton, int statusId, int progressId);
    HWND Bar() const { return bar_; }
    HWND ProgressBar() const { return progress_; }

    // A transfer begins (`running`) or has ended: the Cancel button shows
    // only meanwhile; the figures are cleared either way.
    void SetRunning(bool running);
    void ShowText(const std::string& text);
    void ShowFigures(const TransferFigures& figures);

private:
    void SetPart(int part, const std::string& text);

    HWND bar_ = nullptr;
    HWND progress_ = nullptr;
    HWND cancel_ = nullptr;
};

}  // namespace windowhost
