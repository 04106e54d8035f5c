#include "platform/program_frame/frame_message_loop.h"

bool FrameMessageLoop::ForFrame(HWND window) const {
    return window && (window == frame_ || IsChild(frame_, window));
}

bool FrameMessageLoop::PreTranslate(MSG& message) {
    // Keys typed into other windows of the thread (a message box, another
    // program window) are theirs.
    if (!ForFrame(message.hwnd)) return false;
    const bool key = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
    if (key && accelerators_ && TranslateAcceleratorW(frame_, accelerators_, &message)) return true;
    if (keyboard_ == FrameKeyboard::DialogNavigation) return IsDialogMessageW(frame_, &message) != FALSE;
    return false;
}

void FrameMessageLoop::Handle(MSG& message) {
    if (PreTranslate(message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

int FrameMessageLoop::Run() {
    while (IsWindow(frame_)) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) return -1;
        if (got == 0) return static_cast<int>(message.wParam);
        Handle(message);
    }
    return 0;
}

bool FrameMessageLoop::PumpPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        Handle(message);
    }
    return true;
}
