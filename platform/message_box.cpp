#include "platform/message_box.h"

namespace {

MessageBoxHandler& InstalledHandler() {
    static MessageBoxHandler handler;
    return handler;
}

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
