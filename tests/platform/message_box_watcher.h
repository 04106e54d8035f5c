// Windows tests: stands in for the person in front of the screen. While it
// lives, a thread answers every message box this process shows by pressing
// one button, and keeps what the boxes said. A box nobody answers would hold
// a test until its time limit.
#pragma once

#include <windows.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>

class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(int button = IDOK) : button_(button), thread_([this] { Run(); }) {}
    ~MessageBoxWatcher() { Finish(); }
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    // Ends the watch. Each box seen: its caption, then its controls' texts,
    // each followed by a line end; empty when none was shown.
    std::wstring Finish() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        return seen_;
    }

private:
    void Run() {
        while (!stop_) {
            EnumWindows(&MessageBoxWatcher::Answer, reinterpret_cast<LPARAM>(this));
            Sleep(10);
        }
    }

    static BOOL CALLBACK Answer(HWND window, LPARAM self) {
        auto* watcher = reinterpret_cast<MessageBoxWatcher*>(self);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        if (process != GetCurrentProcessId() || std::wstring(className) != L"#32770" || !IsWindowVisible(window) ||
            !watcher->answered_.insert(window).second)
            return TRUE;
        wchar_t caption[256] = {};
        GetWindowTextW(window, caption, 256);
        watcher->seen_ += std::wstring(caption) + L"\n";
        EnumChildWindows(window, &MessageBoxWatcher::KeepText, self);
        PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(watcher->button_), 0);
        return TRUE;
    }

    static BOOL CALLBACK KeepText(HWND child, LPARAM self) {
        wchar_t text[512] = {};
        GetWindowTextW(child, text, 512);
        reinterpret_cast<MessageBoxWatcher*>(self)->seen_ += std::wstring(text) + L"\n";
        return TRUE;
    }

    const int button_;
    std::set<HWND> answered_;  // the watch thread's own, like seen_ until Finish
    std::wstring seen_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
