#include "platform/message_box.h"

#include <cstdio>

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
