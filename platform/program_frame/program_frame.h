// What every program's main window does alike with the frame's pieces: on
// WM_INITDIALOG the About entry, the icons and the toolbar, in that order;
// afterwards the answers to painting, dragging the minimised window and the
// About entry.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

#include "platform/program_frame/frame_icons.h"
#include "platform/program_frame/frame_toolbar.h"

struct ProgramFrameLook {
    UINT aboutEntryText;  // string resource of the system menu's About entry
    int iconResource;
    std::vector<FrameToolbarButton> toolbar;
    int ruleEnd;  // client pixels: where the line under the toolbar ends
};

class ProgramFrame {
public:
    ProgramFrame() = default;
    ProgramFrame(const ProgramFrame&) = delete;
    ProgramFrame& operator=(const ProgramFrame&) = delete;

    // Appends the About entry to `window`'s system menu, gives it the icons
    // and creates the toolbar, all from `module`. Keep this object as long as
    // the window: the window uses its icons.
    void SetUp(HWND window, HINSTANCE module, const ProgramFrameLook& look);

    // The answer to WM_PAINT, WM_QUERYDRAGICON and the About entry's
    // WM_SYSCOMMAND, which calls `showAbout`; nothing for any other message.
    std::optional<INT_PTR> Answer(UINT message, WPARAM wParam, const std::function<void()>& showAbout) const;

    const FrameIcons& Icons() const { return icons_; }

private:
    HWND window_ = nullptr;
    int ruleEnd_ = 0;
    FrameIcons icons_;
};
