// The program's icon at the two sizes a window shows it: large (Alt+Tab, the
// minimised window) and small (the title bar, the task bar).
#pragma once

#include <windows.h>

class FrameIcons {
public:
    FrameIcons() = default;
    ~FrameIcons();
    FrameIcons(const FrameIcons&) = delete;
    FrameIcons& operator=(const FrameIcons&) = delete;

    // Loads icon `resource` of `module` at both sizes; false when either is
    // missing (what did load is kept).
    bool Load(HINSTANCE module, int resource);
    // Makes them the icons of `window`, which uses them for as long as it
    // lives: keep this object at least as long as the window.
    void ApplyTo(HWND window) const;

    HICON Large() const { return large_; }
    HICON Small() const { return small_; }

private:
    void Release();

    HICON large_ = nullptr;
    HICON small_ = nullptr;
};
