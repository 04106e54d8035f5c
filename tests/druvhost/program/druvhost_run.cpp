#include "tests/druvhost/program/druvhost_run.h"

#include "platform/utf16_text.h"

namespace druvhosttest {

namespace {

// Quoted as the C runtime splits a command line: backslashes before a quote
// doubled, quotes escaped.
std::string Quoted(const std::string& argument) {
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') quoted.append(backslashes * 2 + 1, '\\');
        else quoted.append(backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

bool Start(const std::string& program, const std::vector<std::string>& arguments, DWORD flags,
           PROCESS_INFORMATION& process, HANDLE& read) {
    std::string line = Quoted(program);
    for (const std::string& argument : arguments) line += " " + Quoted(argument);
    std::u16string wide = Utf8ToUtf16(line);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) return false;
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = write;
    startup.hStdError = write;
    const BOOL started = CreateProcessW(nullptr, reinterpret_cast<wchar_t*>(&wide[0]), nullptr, nullptr, TRUE, flags,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(write);
    return started != FALSE;
}

// Reads what the program writes until it has ended. Not until the pipe
// closes: a program Wine starts for the first window of a session (its
// desktop) inherits the pipe and outlives the program, so the pipe would
// stay open.
void ReadUntilEnded(HANDLE process, HANDLE read, std::string& output) {
    char buffer[4096];
    for (;;) {
        const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        DWORD waiting = 0;
        while (PeekNamedPipe(read, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
            DWORD got = 0;
            if (!ReadFile(read, buffer, waiting < sizeof buffer ? waiting : sizeof buffer, &got, nullptr) || got == 0)
                return;
            output.append(buffer, got);
        }
        if (ended) return;
        WaitForSingleObject(process, 20);
    }
}

}  // namespace

RunResult RunDruvhostProgram(const std::string& program, const std::vector<std::string>& arguments) {
    RunResult run;
    PROCESS_INFORMATION process{};
    HANDLE read = nullptr;
    if (!Start(program, arguments, 0, process, read)) {
        run.output = program + " could not be started";
        return run;
    }
    ReadUntilEnded(process.hProcess, read, run.output);
    CloseHandle(read);
    GetExitCodeProcess(process.hProcess, &run.status);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return run;
}

RunResult RunDruvhost(const std::vector<std::string>& arguments) { return RunDruvhostProgram(DRUVHOST_EXE, arguments); }

}  // namespace druvhosttest
