#include "tests/manager/program/manager_process.h"

#include <windows.h>

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
// The static control that carries a message box's text.
constexpr int kMessageBoxTextId = 0xFFFF;

bool IsDialogOf(HWND window, DWORD processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != processId) return false;
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    return std::wstring(className) == kDialogClass;
}

bool IsMainWindow(HWND window) { return GetDlgItem(window, kInstrumentListId) != nullptr; }

std::wstring WideText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring QuotedArgument(const std::wstring& argument) { return L"\"" + argument + L"\""; }

struct MainWindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindMain(HWND window, LPARAM search) {
    auto* wanted = reinterpret_cast<MainWindowSearch*>(search);
    if (!IsDialogOf(window, wanted->processId) || !IsMainWindow(window)) return TRUE;
    wanted->found = window;
    return FALSE;
}

}  // namespace

HWND FindMainWindow(DWORD processId) {
    MainWindowSearch search{processId, nullptr};
    EnumWindows(&FindMain, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

ProcessWindowWatcher::ProcessWindowWatcher(DWORD processId)
    : process_id_(processId), thread_([this] { Run(); }) {}

ProcessWindowWatcher::~ProcessWindowWatcher() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

std::vector<SeenBox> ProcessWindowWatcher::Boxes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

bool ProcessWindowWatcher::WaitForBoxes(size_t count, DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    while (Boxes().size() < count) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
    return true;
}

HWND ProcessWindowWatcher::WaitForVisibleMainWindow(DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    while (!visible_main_) {
        if (GetTickCount() - start > timeoutMs) return nullptr;
        Sleep(10);
    }
    return visible_main_;
}

void ProcessWindowWatcher::Run() {
    while (!stop_) {
        for (auto it = answered_.begin(); it != answered_.end();)
            it = IsWindow(*it) && IsWindowVisible(*it) ? std::next(it) : answered_.erase(it);
        EnumWindows(&ProcessWindowWatcher::Visit, reinterpret_cast<LPARAM>(this));
        Sleep(5);
    }
}

BOOL CALLBACK ProcessWindowWatcher::Visit(HWND window, LPARAM self) {
    auto* watcher = reinterpret_cast<ProcessWindowWatcher*>(self);
    if (!IsDialogOf(window, watcher->process_id_)) return TRUE;
    if (IsMainWindow(window)) {
        watcher->main_window_ = window;
        if (!watcher->visible_main_ && IsWindowVisible(window)) watcher->visible_main_ = window;
    } else if (IsWindowVisible(window) && watcher->answered_.insert(window).second) {
        watcher->Answer(window);
    }
    return TRUE;
}

void ProcessWindowWatcher::Answer(HWND box) {
    SeenBox seen;
    seen.caption = WideText(box);
    seen.hasOwner = GetWindow(box, GW_OWNER) != nullptr;
    if (HWND text = GetDlgItem(box, kMessageBoxTextId)) seen.text = WideText(text);
    // The main window may not have been enumerated yet in this pass.
    HWND main = main_window_ && IsWindow(main_window_) ? main_window_ : FindMainWindow(process_id_);
    seen.mainWindowVisible = main && IsWindowVisible(main);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        boxes_.push_back(seen);
    }
    // OK, or for a box without one, whatever closes it.
    const int button = GetDlgItem(box, IDOK) ? IDOK : IDCANCEL;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

bool ManagerProcess::Start(const std::wstring& executable, const std::vector<std::wstring>& arguments,
                           const std::wstring& workingFolder, std::wstring& error) {
    Terminate();
    std::wstring commandLine = QuotedArgument(executable);
    for (const std::wstring& argument : arguments) commandLine += L" " + QuotedArgument(argument);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // Suspended until the watcher runs, so that it sees every window from the first.
    if (!CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info_)) {
        error = L"CreateProcessW failed with error " + std::to_wstring(GetLastError()) + L" for " + commandLine;
        info_ = PROCESS_INFORMATION{};
        return false;
    }
    watcher_ = std::make_unique<ProcessWindowWatcher>(info_.dwProcessId);
    ResumeThread(info_.hThread);
    return true;
}

bool ManagerProcess::Running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool ManagerProcess::WaitForExit(DWORD timeoutMs) const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ManagerProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (info_.hProcess) GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

bool ManagerProcess::Close(DWORD timeoutMs) {
    HWND main = FindMainWindow(info_.dwProcessId);
    if (main) PostMessageW(main, WM_CLOSE, 0, 0);
    const bool ended = main && WaitForExit(timeoutMs);
    if (!ended) Terminate();
    return ended;
}

void ManagerProcess::Terminate() {
    if (info_.hProcess) {
        if (Running()) {
            TerminateProcess(info_.hProcess, 1);
            WaitForSingleObject(info_.hProcess, 10000);
        }
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    info_ = PROCESS_INFORMATION{};
    watcher_.reset();
}
