#include "platform/message_box.h"

#ifdef _WIN32
#include <windows.h>

#include <string>

#include "platform/wide_text.h"
#else
#include <cstdio>
#endif

namespace {

MessageBoxHandler& InstalledHandler() {
    static MessageBoxHandler handler;
    return handler;
}

#ifdef _WIN32
MessageAnswer SystemMessageBox(const MessageBoxRequest& request) {
    UINT style = MB_OK;
    if (request.buttons == MessageButtons::YesNo) style = MB_YESNO;
    if (request.buttons == MessageButtons::YesNoCancel) style = MB_YESNOCANCEL;
    switch (request.icon) {
    case MessageIcon::Error: style |= MB_ICONERROR; break;
    case MessageIcon::Warning: style |= MB_ICONWARNING; break;
    case MessageIcon::Information: style |= MB_ICONINFORMATION; break;
    case MessageIcon::Question: style |= MB_ICONQUESTION; break;
    }
    const int answer = MessageBoxW(static_cast<HWND>(request.owner), WideText(request.text).c_str(),
                                   WideText(request.caption).c_str(), style);
    if (request.buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    if (answer == IDYES) return MessageAnswer::Yes;
    // A box with Cancel gives IDCANCEL also for Escape and its close button;
    // a failed box (0) must not count as No, which would go on without saving.
    if (request.buttons == MessageButtons::YesNoCancel && answer != IDNO) return MessageAnswer::Cancel;
    return MessageAnswer::No;
}
#else
// Without a window system nobody can answer, so a question counts as declined,
// and one that can be cancelled as cancelled: nothing goes on that was not chosen.
MessageAnswer SystemMessageBox(const MessageBoxRequest& request) {
    std::fprintf(stderr, "%s: %s\n", request.caption, request.text);
    switch (request.buttons) {
    case MessageButtons::YesNo: return MessageAnswer::No;
    case MessageButtons::YesNoCancel: return MessageAnswer::Cancel;
    case MessageButtons::Ok: break;
    }
    return MessageAnswer::Ok;
}
#endif

}  // namespace

MessageAnswer ShowMessageBox(const char* text, const char* caption, MessageIcon icon, MessageButtons buttons,
                             void* owner) {
    const MessageBoxRequest request{text ? text : "", caption ? caption : "", icon, buttons, owner};
    const MessageBoxHandler& handler = InstalledHandler();
    return handler ? handler(request) : SystemMessageBox(request);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    MessageBoxHandler previous = std::move(InstalledHandler());
    InstalledHandler() = std::move(handler);
    return previous;
}
