// The message loop of a frame window. Key messages go to the frame's
// accelerator table first; a key that is no accelerator goes to the focused
// control as it is. The frames are dialogs, and the system's dialog keyboard
// handling would turn Escape and Enter into Cancel and OK and close them, so
// that handling is used only when a frame asks for it. Programs run this loop
// and tests pump through it, so both see the same keyboard.
#pragma once

#include <windows.h>

enum class FrameKeyboard {
    AcceleratorsOnly,  // Escape and Enter reach the focused control
    DialogNavigation,  // also Tab, arrows, Escape (Cancel) and Enter (OK) as in any dialog
};

class FrameMessageLoop {
public:
    explicit FrameMessageLoop(HWND frame, HACCEL accelerators = nullptr,
                              FrameKeyboard keyboard = FrameKeyboard::AcceleratorsOnly)
        : frame_(frame), accelerators_(accelerators), keyboard_(keyboard) {}

    // The table may be loaded after the window was created.
    void SetAccelerators(HACCEL accelerators) { accelerators_ = accelerators; }

    // Whether `message` was handled here and must not be dispatched.
    bool PreTranslate(MSG& message);

    // Runs until the frame is destroyed (0) or WM_QUIT arrives (its exit
    // code; the frame may still exist then). -1 when the system's message
    // queue failed.
    int Run();

    // Handles every message waiting in this thread's queue as Run does, then
    // returns; false when it met WM_QUIT, which it leaves in the queue.
    bool PumpPending();

private:
    bool ForFrame(HWND window) const;
    void Handle(MSG& message);

    HWND frame_;
    HACCEL accelerators_;
    FrameKeyboard keyboard_;
};
