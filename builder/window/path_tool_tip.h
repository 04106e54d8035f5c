// A tool tip that shows a box's whole text where the box shows only part of
// it (the path in "Current Device").
#pragma once

#include <windows.h>

#include <string>

// Whether `text` fits the box's client area in the box's font, margins aside.
bool FitsInBox(HWND box, const std::wstring& text);

class PathToolTip {
public:
    PathToolTip() = default;
    PathToolTip(const PathToolTip&) = delete;
    PathToolTip& operator=(const PathToolTip&) = delete;

    // The tip of `box` says `text` from now on; made on first use, owned by
    // the box's dialog and destroyed with it.
    void Show(HWND box, const std::wstring& text);

private:
    HWND tip_ = nullptr;
    HWND box_ = nullptr;
};
