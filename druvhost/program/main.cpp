// druvhost.exe: a small host of our own for the plug-in, on the command line.
#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "druvhost/cli/command_line.h"
#include "druvhost/program/commands.h"
#include "druvhost/program/console.h"
#include "platform/message_box.h"
#include "platform/utf16_text.h"

namespace {

// No window may wait for a click here: whatever the plug-in or the
// definition reader would show in a box goes to standard error, and a
// question is answered Yes.
MessageAnswer PrintBox(const MessageBoxRequest& box) {
    std::string text = box.text ? box.text : "";
    druvhost::WriteError(std::string(box.icon == MessageIcon::Error ? "error: " : "") + text + "\n");
    return box.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        const char16_t* units = reinterpret_cast<const char16_t*>(argv[i]);
        arguments.push_back(Utf16ToUtf8(units, std::char_traits<char16_t>::length(units)));
    }
    druvhost::CommandLine line;
    std::string error;
    if (!druvhost::ParseCommandLine(arguments, line, error)) {
        druvhost::WriteError("druvhost: " + error + "\n");
        return druvhost::kExitUsage;
    }
    if (line.help) {
        druvhost::WriteOut(druvhost::HelpText(line.kind));
        return druvhost::kExitSuccess;
    }
    SetMessageBoxHandler(PrintBox);
    // Single-threaded apartment: the editor page's window lives on this thread.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        druvhost::WriteError("druvhost: the component model cannot start\n");
        return druvhost::kExitFailure;
    }
    const int status = druvhost::RunCommand(line);
    CoUninitialize();
    return status;
}
