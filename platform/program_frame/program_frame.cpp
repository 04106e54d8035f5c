#include "platform/program_frame/program_frame.h"

#include "platform/program_frame/about_entry.h"
#include "platform/program_frame/frame_painting.h"

void ProgramFrame::SetUp(HWND window, HINSTANCE module, const ProgramFrameLook& look) {
    window_ = window;
    ruleEnd_ = look.ruleEnd;
    AppendAboutEntry(window, module, look.aboutEntryText);
    icons_.Load(module, look.iconResource);
    icons_.ApplyTo(window);
    CreateFrameToolbar(window, module, look.toolbar);
}

std::optional<INT_PTR> ProgramFrame::Answer(UINT message, WPARAM wParam,
                                            const std::function<void()>& showAbout) const {
    switch (message) {
    case WM_SYSCOMMAND:
        if (!IsAboutCommand(message, wParam)) return std::nullopt;
        showAbout();
        return TRUE;
    case WM_PAINT:
        PaintFrameWindow(window_, ruleEnd_, icons_.Large());
        return TRUE;
    case WM_QUERYDRAGICON:
        return static_cast<INT_PTR>(FrameDragIcon(icons_.Large()));
    default:
        return std::nullopt;
    }
}
