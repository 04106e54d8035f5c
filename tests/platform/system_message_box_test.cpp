// The system's message box as the shared code shows it, on Windows: UTF-8
// texts must reach the box whole. A thread of the test reads the box and
// presses its button, standing in for the person.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/message_box.h"

namespace {

std::string Units(const std::wstring& text) {
    std::string out;
    char unit[8];
    for (wchar_t c : text) {
        std::snprintf(unit, sizeof unit, "%04X ", static_cast<unsigned>(c));
        out += unit;
    }
    return out;
}

struct SeenBox {
    std::wstring caption;
    std::wstring texts;  // every child's text, each followed by a line end
};

// Waits for a box of this process, reads it and presses `button`.
class BoxAnswerer {
public:
    explicit BoxAnswerer(int button) : button_(button), thread_([this] { Run(); }) {}
    ~BoxAnswerer() { Finish(); }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    // What the box showed, once the thread has ended.
    SeenBox Finish() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        return seen_;
    }

private:
    void Run() {
        for (int i = 0; i < 500 && !stop_ && !answered_; ++i) {
            EnumWindows(&BoxAnswerer::Answer, reinterpret_cast<LPARAM>(this));
            Sleep(10);
        }
    }

    static BOOL CALLBACK Answer(HWND window, LPARAM self) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        if (process != GetCurrentProcessId() || std::wstring(className) != L"#32770" || !IsWindowVisible(window))
            return TRUE;
        auto* answerer = reinterpret_cast<BoxAnswerer*>(self);
        wchar_t caption[256] = {};
        GetWindowTextW(window, caption, 256);
        answerer->seen_.caption = caption;
        EnumChildWindows(window, &BoxAnswerer::KeepText, self);
        PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(answerer->button_), 0);
        answerer->answered_ = true;
        return FALSE;
    }

    static BOOL CALLBACK KeepText(HWND child, LPARAM self) {
        wchar_t text[512] = {};
        GetWindowTextW(child, text, 512);
        reinterpret_cast<BoxAnswerer*>(self)->seen_.texts += std::wstring(text) + L"\n";
        return TRUE;
    }

    const int button_;
    SeenBox seen_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> answered_{false};
    std::thread thread_;
};

TEST(SystemMessageBox, ShowsUtf8TextsWholeAndGivesTheAnswer) {
    struct Case {
        const char* text;
        std::wstring wideText;
        MessageButtons buttons;
        int press;
        MessageAnswer expected;
    };
    const Case cases[] = {
        {"Kl\xC3\xA4nge \xE2\x80\x93 \xCE\xA9\xE6\x9D\xB1", L"Kl\u00E4nge \u2013 \u03A9\u6771", MessageButtons::Ok, IDOK,
         MessageAnswer::Ok},
        {"J\xC3\xBCrgen?", L"J\u00FCrgen?", MessageButtons::YesNo, IDYES, MessageAnswer::Yes},
        {"J\xC3\xBCrgen?", L"J\u00FCrgen?", MessageButtons::YesNo, IDNO, MessageAnswer::No},
    };
    for (const Case& c : cases) {
        BoxAnswerer answerer(c.press);
        const MessageAnswer answer =
            ShowMessageBox(c.text, "DRUV \xE2\x80\x93 Test", MessageIcon::Information, c.buttons);
        const SeenBox seen = answerer.Finish();
        EXPECT_EQ(Units(L"DRUV \u2013 Test"), Units(seen.caption)) << c.text;
        EXPECT_NE(std::wstring::npos, seen.texts.find(c.wideText + L"\n"))
            << "wanted " << Units(c.wideText) << " among\n" << Units(seen.texts);
        EXPECT_EQ(static_cast<int>(c.expected), static_cast<int>(answer)) << c.text;
    }
}

}  // namespace
