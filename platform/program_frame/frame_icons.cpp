#include "platform/program_frame/frame_icons.h"

namespace {

// Not shared: a shared icon would come back at the size it was first loaded at.
HICON LoadIconAt(HINSTANCE module, int resource, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(resource), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), 0));
}

}  // namespace

FrameIcons::~FrameIcons() { Release(); }

bool FrameIcons::Load(HINSTANCE module, int resource) {
    Release();
    large_ = LoadIconAt(module, resource, SM_CXICON, SM_CYICON);
    small_ = LoadIconAt(module, resource, SM_CXSMICON, SM_CYSMICON);
    return large_ && small_;
}

void FrameIcons::ApplyTo(HWND window) const {
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large_));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_));
}

void FrameIcons::Release() {
    if (large_) DestroyIcon(large_);
    if (small_) DestroyIcon(small_);
    large_ = nullptr;
    small_ = nullptr;
}
