#include "manager/window/command_line_arguments.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/wide_text.h"

std::vector<std::string> CommandLineArguments(const wchar_t* commandLine) {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* parts = CommandLineToArgvW(commandLine, &count);
    if (!parts) return arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(Utf8Text(parts[i]));
    LocalFree(parts);
    return arguments;
}
