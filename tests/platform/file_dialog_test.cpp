#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_dialog.h"
#include "tests/platform/hex_units.h"

namespace {

// Texts with zero units inside, which a u"" literal would end at.
std::u16string Units(std::initializer_list<std::u16string> parts) {
    std::u16string text;
    for (const std::u16string& part : parts) text += part + u'\0';
    return text;
}

TEST(SplitMultipleSelection, GivesFullPathsInTheDialogsOrder) {
    struct Case {
        std::u16string buffer;
        std::vector<std::string> paths;
        const char* what;
    };
    const std::vector<Case> cases = {
        {Units({u"C:\\Devices\\Mixer.druv", u""}), {"C:\\Devices\\Mixer.druv"}, "one path"},
        {Units({u"C:\\Devices\\Mixer.druv", u"", u"", u""}), {"C:\\Devices\\Mixer.druv"}, "one path, buffer rest"},
        {Units({u"C:\\Devices", u"b.druv", u"a.druv", u"c.druv", u""}),
         {"C:\\Devices\\b.druv", "C:\\Devices\\a.druv", "C:\\Devices\\c.druv"},
         "folder and three names, order kept"},
        {Units({u"C:\\", u"a.druv", u"b.druv", u""}), {"C:\\a.druv", "C:\\b.druv"}, "drive root"},
        {Units({u"\\\\server\\share\\", u"a.druv", u""}), {"\\\\server\\share\\a.druv"}, "folder ending in \\"},
        {Units({u"Z:\\Kl\u00E4nge", u"J\u00FCrgen \U0001F3B9.druv", u"\u6771.druv", u""}),
         {"Z:\\Kl\xC3\xA4nge\\J\xC3\xBCrgen \xF0\x9F\x8E\xB9.druv", "Z:\\Kl\xC3\xA4nge\\\xE6\x9D\xB1.druv"},
         "non-ASCII names"},
        {u"", {}, "empty buffer"},
        {Units({u""}), {}, "only a terminator"},
        {u"C:\\Devices\\Mixer.druv", {}, "no terminator at all"},
        {Units({u"C:\\Devices", u"a.druv"}), {}, "names without the closing zero unit"},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> paths = SplitMultipleSelection(c.buffer);
        ASSERT_EQ(c.paths.size(), paths.size()) << c.what;
        for (size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(HexUnits(c.paths[i]), HexUnits(paths[i])) << c.what;
    }
}

TEST(SystemFilterText, PairsBecomeZeroSeparatedWithOneMoreZeroAtTheEnd) {
    struct Case {
        std::string filter;
        std::u16string expected;
        const char* what;
    };
    const std::vector<Case> cases = {
        {"DRUV Device (*.druv)|*.druv||", Units({u"DRUV Device (*.druv)", u"*.druv", u""}), "one pair"},
        {"Devices|*.druv|All files|*.*||", Units({u"Devices", u"*.druv", u"All files", u"*.*", u""}), "two pairs"},
        {"Devices|*.druv", Units({u"Devices", u"*.druv", u""}), "without the closing bars"},
        {"Devices|*.druv|All files", Units({u"Devices", u"*.druv", u""}), "a description without a pattern"},
        {"Devices|*.druv||Ignored|*.*||", Units({u"Devices", u"*.druv", u""}), "\"||\" ends the list"},
        {"Ger\xC3\xA4te|*.druv||", Units({u"Ger\u00E4te", u"*.druv", u""}), "non-ASCII description"},
        {"", u"", "empty"},
        {"||", u"", "no pair"},
    };
    for (const Case& c : cases) EXPECT_EQ(HexUnits(c.expected), HexUnits(SystemFilterText(c.filter))) << c.what;
}

TEST(FileDialog, TheInstalledHandlerAnswersAndTheOneBeforeComesBack) {
    std::vector<FileDialogRequest> seen;
    {
        ScopedFileDialogHandler handler([&seen](const FileDialogRequest& request) {
            seen.push_back(request);
            FileDialogResult result;
            result.outcome = FileDialogOutcome::Chosen;
            result.paths = {"C:\\a.druv"};
            return result;
        });
        FileDialogRequest request;
        request.filter = "DRUV Device (*.druv)|*.druv||";
        request.multipleSelection = true;
        request.bufferCharacters = 1000;
        const FileDialogResult result = ShowFileDialog(request);
        EXPECT_EQ(FileDialogOutcome::Chosen, result.outcome);
        EXPECT_EQ((std::vector<std::string>{"C:\\a.druv"}), result.paths);
    }
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(1000u, seen[0].bufferCharacters);
    EXPECT_TRUE(seen[0].multipleSelection);
#ifndef _WIN32
    // No dialog can be shown here, and saying so beats a pretended Cancel.
    EXPECT_EQ(FileDialogOutcome::Failed, ShowFileDialog(FileDialogRequest()).outcome);
#endif
    EXPECT_EQ(1u, seen.size());
}

}  // namespace
