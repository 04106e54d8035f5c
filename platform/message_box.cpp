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
    UINT style = request.buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
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
    return answer == IDYES ? MessageAnswer::Yes : MessageAnswer::No;
}
#else
// Without a window system nobody can answer, so a question counts as declined.
MessageAnswer SystemMessageBox(const MessageBoxRequest& request) {
    std::fprintf(stderr, "%s: %s\n", request.caption, request.text);
    return request.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
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
