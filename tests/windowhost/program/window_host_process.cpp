#include "tests/windowhost/program/window_host_process.h"

#include <commctrl.h>

#include <vector>

#include "platform/wide_text.h"
#include "windowhost/resources/window_host_resource_ids.h"

namespace windowhosttest {

namespace {

struct Search {
    DWORD process;
    bool wantMain;
    HWND found;
};

bool IsDialog(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return std::wstring(name) == L"#32770";
}

BOOL CALLBACK Visit(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window) || !IsDialog(window)) return TRUE;
    const bool main = GetDlgItem(window, IDC_INSTRUMENTS) != nullptr;
    if (main != search->wantMain) return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindWindowOf(DWORD process, bool main) {
    Search search{process, main, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string TextOf(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return Utf8Text(text);
}

}  // namespace

WindowHostProcess::~WindowHostProcess() {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

bool WindowHostProcess::Start(const std::string& project, DWORD& error) {
    std::wstring line = L"\"" + WideText(DRUV_WINDOW_HOST_EXE) + L"\"";
    if (!project.empty()) line += L" \"" + WideText(project) + L"\"";
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(0);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process_)) {
        error = GetLastError();
        process_ = PROCESS_INFORMATION{};
        return false;
    }
    return true;
}

HWND WindowHostProcess::WaitForMainWindow(DWORD timeoutMs) {
    for (DWORD waited = 0; waited <= timeoutMs; waited += 20) {
        if ((main_ = FindWindowOf(process_.dwProcessId, true)) != nullptr) return main_;
        Sleep(20);
    }
    return nullptr;
}

HWND WindowHostProcess::WaitForBox(DWORD timeoutMs) const {
    for (DWORD waited = 0; waited <= timeoutMs; waited += 20) {
        if (HWND box = FindWindowOf(process_.dwProcessId, false)) return box;
        Sleep(20);
    }
    return nullptr;
}

DWORD WindowHostProcess::WaitForExit(DWORD timeoutMs) {
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

std::string WindowHostProcess::Title() const { return TextOf(main_); }

int WindowHostProcess::ProgressPosition() const {
    HWND bar = GetDlgItem(GetDlgItem(main_, IDC_STATUS), IDC_PROGRESS);
    return bar != nullptr ? static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0)) : -1;
}

bool WindowHostProcess::CancelButtonShown() const {
    return IsWindowVisible(GetDlgItem(main_, IDC_CANCEL_TRANSFER)) != FALSE;
}

bool WindowHostProcess::MenuItemEnabled(UINT command) const {
    // The menu's items are brought up to date when it opens; the toolbar's
    // button for the same command always is.
    HWND toolbar = GetDlgItem(main_, 1);
    return SendMessageW(toolbar, TB_ISBUTTONENABLED, command, 0) != 0;
}

void WindowHostProcess::PressKey(UINT key) const {
    PostMessageW(main_, WM_KEYDOWN, key, 1);
    PostMessageW(main_, WM_KEYUP, key, 0xC0000001);
}

std::string BoxText(HWND box) { return TextOf(GetDlgItem(box, 0xFFFF)); }

void PressBoxButton(HWND box, int button) { PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0); }

void ChooseInFileDialog(HWND dialog, const std::string& path) {
    // The name field: a combo box in the system's dialog, an edit in older ones.
    constexpr int kNameCombo = 0x47C, kNameEdit = 0x480;
    HWND name = GetDlgItem(dialog, kNameCombo);
    if (name == nullptr) name = GetDlgItem(dialog, kNameEdit);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WideText(path).c_str()));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

std::vector<std::string> ListRows(HWND dialog, int id) {
    HWND list = GetDlgItem(dialog, id);
    std::vector<std::string> rows;
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        wchar_t text[1024] = {};
        if (SendMessageW(list, LB_GETTEXTLEN, row, 0) < 1023)
            SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
        rows.push_back(Utf8Text(text));
    }
    return rows;
}

}  // namespace windowhosttest
