#include "platform/message_box.h"

#include <utility>

namespace {

InstalledHandler<MessageBoxHandler>& Installed() {
    static InstalledHandler<MessageBoxHandler> handler;
    return handler;
}

}  // namespace

MessageAnswer ShowMessageBox(const char* text, const char* caption, MessageIcon icon, MessageButtons buttons,
                             void* owner) {
    const MessageBoxRequest request{text ? text : "", caption ? caption : "", icon, buttons, owner};
    const MessageBoxHandler& handler = Installed().Get();
    return handler ? handler(request) : SystemMessageBox(request);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) { return Installed().Replace(std::move(handler)); }
