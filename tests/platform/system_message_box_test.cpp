// The system's message box as the shared code shows it, on Windows: UTF-8
// texts must reach the box whole, and the button pressed comes back.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/message_box.h"
#include "tests/platform/hex_units.h"
#include "tests/platform/message_box_watcher.h"

namespace {

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
        {"Save?", L"Save?", MessageButtons::YesNoCancel, IDYES, MessageAnswer::Yes},
        {"Save?", L"Save?", MessageButtons::YesNoCancel, IDNO, MessageAnswer::No},
        {"Save?", L"Save?", MessageButtons::YesNoCancel, IDCANCEL, MessageAnswer::Cancel},
    };
    for (const Case& c : cases) {
        MessageBoxWatcher person(c.press);
        const MessageAnswer answer =
            ShowMessageBox(c.text, "DRUV \xE2\x80\x93 Test", MessageIcon::Information, c.buttons);
        const std::wstring seen = person.Finish();
        EXPECT_EQ(0u, seen.find(L"DRUV \u2013 Test\n")) << "wanted the caption first among\n" << HexUnits(seen);
        EXPECT_NE(std::wstring::npos, seen.find(L"\n" + c.wideText + L"\n"))
            << "wanted " << HexUnits(c.wideText) << " among\n" << HexUnits(seen);
        EXPECT_EQ(static_cast<int>(c.expected), static_cast<int>(answer)) << c.text;
        // The third button is there only when asked for.
        const bool cancel = seen.find(L"\nCancel\n") != std::wstring::npos;
        EXPECT_EQ(c.buttons == MessageButtons::YesNoCancel, cancel) << "buttons among\n" << HexUnits(seen);
    }
}

}  // namespace
