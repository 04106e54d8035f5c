// Windows tests: a frame window built from the program frame's pieces as a
// desktop program builds its main window: a dialog with a list, the toolbar,
// the About entry, the icons, the painted line and the frame's message loop
// with an accelerator table (Ctrl+A gives kAddCommand).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/program_frame/frame_icons.h"
#include "platform/program_frame/frame_message_loop.h"
#include "platform/program_frame/frame_toolbar.h"
#include "platform/program_frame/program_frame.h"

constexpr int kListId = 1000;
constexpr int kAddCommand = 1001;
constexpr int kRemoveCommand = 1002;
constexpr int kHelpCommand = 32651;
constexpr int kRuleEnd = 320;
extern const wchar_t kAboutCaption[];
extern const char kAboutText[];

// The buttons of the test frame's toolbar.
std::vector<FrameToolbarButton> TestButtons();

class TestFrame {
public:
    // Hidden: under Xvfb, with no window manager to answer, Wine waits two
    // seconds for one whenever a window with a caption is hidden or destroyed.
    explicit TestFrame(FrameKeyboard keyboard = FrameKeyboard::AcceleratorsOnly);
    ~TestFrame();
    TestFrame(const TestFrame&) = delete;
    TestFrame& operator=(const TestFrame&) = delete;

    HWND Window() const { return window_; }
    HWND List() const { return GetDlgItem(window_, kListId); }
    HWND Toolbar() const { return GetDlgItem(window_, kFrameToolbarId); }
    FrameMessageLoop& Loop() { return loop_; }
    const FrameIcons& Icons() const { return frame_.Icons(); }

    // Commands from accelerators, menus and the toolbar, in order of arrival.
    const std::vector<int>& Commands() const { return commands_; }
    // Key codes of the WM_KEYDOWN messages the list received.
    const std::vector<WPARAM>& ListKeys() const { return list_keys_; }
    // How often the About box was shown, and whether the last one showed.
    int AboutBoxes() const { return about_boxes_; }
    bool AboutBoxShown() const { return about_shown_; }

private:
    static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    HACCEL accelerators_ = nullptr;
    ProgramFrame frame_;
    FrameMessageLoop loop_;
    std::vector<int> commands_;
    std::vector<WPARAM> list_keys_;
    int about_boxes_ = 0;
    bool about_shown_ = false;
};

// Posts a key press (down and up) to `target`, Ctrl held when `control`, and
// lets `loop` handle it. Leaves Ctrl up.
void TypeKey(FrameMessageLoop& loop, HWND target, UINT key, bool control);
// Holds Ctrl in this thread's keyboard state, or lets it go.
void HoldControl(bool held);

// A hidden top-level window with a caption and system menu, for pieces
// tested on their own; destroyed by the caller.
HWND CreatePlainWindow();
