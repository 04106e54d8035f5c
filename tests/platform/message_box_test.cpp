// Message boxes where no window system shows them: nobody can answer, so no
// question may come back as the answer that goes on (Yes), and one that can be
// cancelled must not come back as No, which goes on without saving.
#include <gtest/gtest.h>

#include "platform/message_box.h"

namespace {

TEST(MessageBoxWithoutWindows, AnswersOnlyWhatGoesOnWithNothingChosen) {
    const struct {
        MessageButtons buttons;
        MessageAnswer expected;
    } cases[] = {
        {MessageButtons::Ok, MessageAnswer::Ok},
        {MessageButtons::YesNo, MessageAnswer::No},
        {MessageButtons::YesNoCancel, MessageAnswer::Cancel},
    };
    for (const auto& c : cases) {
        const MessageAnswer answer = ShowMessageBox("Save changes?", "Test", MessageIcon::Question, c.buttons);
        EXPECT_EQ(static_cast<int>(c.expected), static_cast<int>(answer)) << static_cast<int>(c.buttons);
    }
}

}  // namespace
