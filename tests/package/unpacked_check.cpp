// What the check of the unpacked release folder does inside Wine:
//   druv-unpacked-check manager PROGRAM RECORD DEFINITION...
//       starts PROGRAM (the unpacked "DRUV Manager.exe") with the definition
//       files on its command line, answers its messages and prints them,
//       prints the instruments its window lists, presses Help and prints
//       what the shell was asked to open, then closes the program. The
//       shell's answer is read from RECORD, which the `opened` command below
//       writes: the check makes that command the prefix's program for PDF
//       documents, so no viewer is started and the path is the one the
//       manager really handed to the shell.
//   druv-unpacked-check opened RECORD DOCUMENT
//       writes DOCUMENT and the working folder it was started in into RECORD.
// Exit status 0 when everything showed, 1 when something did not, 2 for a
// command line not understood.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/wide_text.h"
#include "tests/manager/program/manager_process.h"

namespace {

constexpr DWORD kWaitMs = 30000;
// The manager's Help command (toolbar button, F1, Ctrl+H).
constexpr int kHelpCommand = 32651;

void Print(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Written beside and moved into place, so the reader never sees half a record.
bool WriteRecord(const std::wstring& path, const std::string& text) {
    const std::wstring temporary = path + L".tmp";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size();
    CloseHandle(file);
    if (!ok || !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

std::string ReadRecord(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

int Opened(const std::wstring& record, const std::wstring& document) {
    wchar_t folder[MAX_PATH * 2] = {};
    GetCurrentDirectoryW(MAX_PATH * 2, folder);
    const std::string text = "document: " + Utf8Text(document) + "\r\nworking folder: " + Utf8Text(folder) + "\r\n";
    return WriteRecord(record, text) ? 0 : 1;
}

std::vector<std::string> ListedInstruments(HWND main) {
    std::vector<std::string> items;
    const HWND list = GetDlgItem(main, kInstrumentListId);
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const int length = static_cast<int>(SendMessageW(list, LB_GETTEXTLEN, i, 0));
        if (length < 0) continue;
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length));
        items.push_back(Utf8Text(text));
    }
    return items;
}

// One message per install; many installs take a while, so the wait ends
// only when no new message came for kWaitMs.
bool WaitForBoxes(const ProcessWindowWatcher& watcher, size_t count) {
    size_t seen = 0;
    while (seen < count) {
        if (!watcher.WaitForBoxes(seen + 1, kWaitMs)) return false;
        seen = watcher.Boxes().size();
    }
    return true;
}

int Manager(const std::wstring& program, const std::wstring& record, const std::vector<std::wstring>& definitions) {
    DeleteFileW(record.c_str());
    ManagerProcess manager;
    std::wstring error;
    if (!manager.Start(program, definitions, L"", error)) {
        Print("manager: cannot start: " + Utf8Text(error));
        return 1;
    }
    bool ok = true;
    if (!WaitForBoxes(manager.Watcher(), definitions.size())) {
        Print("manager: showed fewer messages than the " + std::to_string(definitions.size()) + " installs");
        ok = false;
    }
    const HWND main = manager.Watcher().WaitForVisibleMainWindow(kWaitMs);
    for (const SeenBox& box : manager.Watcher().Boxes()) {
        std::string text = Utf8Text(box.text);
        for (char& c : text)
            if (c == '\r' || c == '\n') c = ' ';
        Print("message: " + text);
    }
    if (!main) {
        Print("manager: its window did not show");
        return 1;
    }
    for (const std::string& item : ListedInstruments(main)) Print("listed: " + item);

    PostMessageW(main, WM_COMMAND, MAKEWPARAM(kHelpCommand, 0), 0);
    const DWORD start = GetTickCount();
    while (!FileExists(record) && GetTickCount() - start < kWaitMs) Sleep(50);
    if (FileExists(record)) {
        std::string text = ReadRecord(record);
        size_t at = 0;
        while ((at = text.find("\r\n", at)) != std::string::npos) text.replace(at, 2, "\n");
        std::printf("help opened:\n%s", text.c_str());
        std::fflush(stdout);
    } else {
        Print("help opened nothing within " + std::to_string(kWaitMs / 1000) + " s");
        ok = false;
    }
    if (!manager.Close(kWaitMs)) {
        Print("manager: did not end after its window was closed; terminated");
        ok = false;
    }
    return ok ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"opened" && argc == 4) return Opened(argv[2], argv[3]);
    if (command == L"manager" && argc >= 4) return Manager(argv[2], argv[3], std::vector<std::wstring>(argv + 4, argv + argc));
    std::fprintf(stderr,
                 "usage: druv-unpacked-check manager PROGRAM RECORD DEFINITION...\n"
                 "       druv-unpacked-check opened RECORD DOCUMENT\n");
    return 2;
}
