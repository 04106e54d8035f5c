// The real manager program as another process: started with a command line,
// its message boxes answered as a person would answer them, its main window
// found, closed and waited for. Whatever is still running when the
// ManagerProcess goes is terminated, so no test leaves a program behind.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// The list control of the manager's main window; message boxes have none.
constexpr int kInstrumentListId = 1000;

// A message box the program showed, as it was when first seen.
struct SeenBox {
    std::wstring caption;
    std::wstring text;
    // Whether the program's main window was visible while the box was up.
    bool mainWindowVisible = false;
    bool hasOwner = false;
};

// Watches the top-level windows of one process from a thread of its own:
// presses OK in each message box (after keeping its texts) and notes when
// the main window (a dialog holding the instrument list) first shows.
class ProcessWindowWatcher {
public:
    explicit ProcessWindowWatcher(DWORD processId);
    ~ProcessWindowWatcher();
    ProcessWindowWatcher(const ProcessWindowWatcher&) = delete;
    ProcessWindowWatcher& operator=(const ProcessWindowWatcher&) = delete;

    std::vector<SeenBox> Boxes() const;
    // Waits until `count` boxes have been seen; false on timeout.
    bool WaitForBoxes(size_t count, DWORD timeoutMs) const;
    // The main window once it has been seen visible; null until then or on timeout.
    HWND WaitForVisibleMainWindow(DWORD timeoutMs) const;
    bool MainWindowEverVisible() const { return visible_main_ != nullptr; }

private:
    void Run();
    static BOOL CALLBACK Visit(HWND window, LPARAM self);
    void Answer(HWND box);

    const DWORD process_id_;
    mutable std::mutex mutex_;
    std::vector<SeenBox> boxes_;
    std::atomic<HWND> visible_main_{nullptr};
    // Boxes pressed and not yet gone; the watch thread's own. A handle leaves
    // the set when its window is gone, so a later window given the same
    // handle is not taken for one already answered.
    std::set<HWND> answered_;
    HWND main_window_ = nullptr;  // the watch thread's own
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Finds the main window of a process: a dialog with the instrument list.
HWND FindMainWindow(DWORD processId);

class ManagerProcess {
public:
    ManagerProcess() = default;
    ~ManagerProcess() { Terminate(); }
    ManagerProcess(const ManagerProcess&) = delete;
    ManagerProcess& operator=(const ManagerProcess&) = delete;

    // Starts `executable` with the arguments (each put in quotes as it is,
    // so none may hold a quote or end in a backslash) in `workingFolder`, and
    // watches its windows from before its first instruction. False, with the system's error in
    // `error`, when it cannot be started.
    bool Start(const std::wstring& executable, const std::vector<std::wstring>& arguments,
               const std::wstring& workingFolder, std::wstring& error);
    // Only after a successful Start.
    ProcessWindowWatcher& Watcher() { return *watcher_; }
    bool Running() const;
    // Waits for the process to end by itself; false on timeout.
    bool WaitForExit(DWORD timeoutMs) const;
    // The exit code of a process that has ended; STILL_ACTIVE while it runs.
    DWORD ExitCode() const;
    DWORD ProcessId() const { return info_.dwProcessId; }
    // Posts WM_CLOSE to the main window and waits for the process to end.
    // False when there was no main window or it did not end in time (it is
    // then terminated).
    bool Close(DWORD timeoutMs);
    void Terminate();

private:
    PROCESS_INFORMATION info_{};
    std::unique_ptr<ProcessWindowWatcher> watcher_;
};
