// Message boxes for the shared code. On Windows they are real modal boxes; on
// other systems the text goes to standard error. Tests install a handler that
// records each box and answers it, so that nothing waits for a person.
#pragma once

#include <functional>
#include <utility>

#include "platform/handler_seam.h"

enum class MessageIcon { Error, Warning, Information, Question };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct MessageBoxRequest {
    const char* text;
    const char* caption;
    MessageIcon icon;
    MessageButtons buttons;
    void* owner;  // HWND of the owner window on Windows, or null
};

using MessageBoxHandler = std::function<MessageAnswer(const MessageBoxRequest&)>;

// Shows the box (or hands it to the installed handler) and blocks until it is
// answered. Null text or caption show as empty text. A box with Cancel answers
// Cancel also when it is closed by Escape or its close button.
MessageAnswer ShowMessageBox(const char* text, const char* caption, MessageIcon icon,
                             MessageButtons buttons = MessageButtons::Ok, void* owner = nullptr);

// Replaces the process-wide handler; an empty handler restores the system's
// boxes. Returns the handler that was installed before. Not meant to be
// called while another thread shows a box.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The system's own box, shown when no handler is installed (one in each
// backend folder).
MessageAnswer SystemMessageBox(const MessageBoxRequest& request);

// Installs a handler for the lifetime of the guard and restores the previous
// one afterwards.
using ScopedMessageBoxHandler = ScopedHandler<MessageBoxHandler, SetMessageBoxHandler>;
