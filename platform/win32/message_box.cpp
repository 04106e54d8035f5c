#include "platform/message_box.h"

#include <windows.h>

#include <string>

#include "platform/wide_text.h"

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
