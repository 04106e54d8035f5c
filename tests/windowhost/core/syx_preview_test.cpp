// The rows of the import preview: which messages go to which item, what
// matched nothing, what was skipped, and a refusal that lets nothing in;
// and the names of exported files on any file system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windowhost/core/syx_preview.h"

namespace {

using druvhost::ItemImport;
using druvhost::SyxFile;
using druvhost::SyxImport;
using windowhost::MakeSyxPreview;
using windowhost::SyxPreview;

SyxFile FileOf(size_t messages, size_t skipped) {
    SyxFile file;
    for (size_t i = 0; i < messages; ++i) file.messages.push_back({i * 10, 10});
    file.skippedBytes = skipped;
    return file;
}

ItemImport Item(const char* name, size_t first, size_t count, size_t stored) {
    return {name, first, count, std::vector<uint8_t>(stored, 0x11)};
}

TEST(SyxPreviewTest, RowsSayWhichMessagesGoWhereAndWhatIsLeftOver) {
    SyxImport bank;
    bank.items = {Item("Current Scene", 0, 1, 4105), Item("Setup", 1, 3, 1)};
    SyxImport leftOver = bank;
    leftOver.unmatchedFirst = 4;
    leftOver.unmatchedCount = 2;
    SyxImport empty;
    empty.items = {Item("Setup", 0, 0, 0)};
    SyxImport refused;
    refused.items = {Item("Current Scene", 0, 1, 0), Item("Setup", 1, 0, 0)};
    refused.unmatchedFirst = 1;
    refused.unmatchedCount = 1;
    refused.refusal = "\"Setup\" expects 1 loop of one 264-byte message; message 2 (at byte 10) holds 9 bytes";
    struct Case {
        const char* what;
        SyxFile file;
        SyxImport import;
        bool fits;
        std::string heading;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"two items", FileOf(4, 0), bank, true, "a.syx holds 4 messages; OK imports them into \"All\":",
         {"\"Current Scene\": message 1, 4105 bytes stored", "\"Setup\": messages 2 to 4, 1 byte stored"}},
        {"messages no item takes and bytes between", FileOf(6, 3), leftOver, true,
         "a.syx holds 6 messages; OK imports them into \"All\":",
         {"\"Current Scene\": message 1, 4105 bytes stored", "\"Setup\": messages 2 to 4, 1 byte stored",
          "messages 5 to 6: matched no item", "3 bytes outside SysX messages: skipped"}},
        {"an item left without a message", FileOf(1, 1), empty, true,
         "a.syx holds 1 message; OK imports them into \"All\":",
         {"\"Setup\": no message", "1 byte outside SysX messages: skipped"}},
        {"a refusal", FileOf(2, 0), refused, false,
         "a.syx holds 2 messages and does not fit \"All\"; nothing is imported: " + refused.refusal,
         {"\"Current Scene\": message 1", "\"Setup\": no message", "message 2: not laid into any item"}},
    };
    for (const Case& c : cases) {
        const SyxPreview preview = MakeSyxPreview("a.syx", c.file, c.import, "All");
        EXPECT_EQ(preview.fits, c.fits) << c.what;
        EXPECT_EQ(preview.heading, c.heading) << c.what;
        EXPECT_EQ(preview.lines, c.lines) << c.what;
    }
}

TEST(SyxPreviewTest, FileNamesKeepTheirTextAndLoseWhatAFileSystemRefuses) {
    const struct {
        const char* instrument;
        const char* part;
        const char* name;
    } cases[] = {
        {"Brindle & Koss SD-16", "Current Scene", "Brindle & Koss SD-16 - Current Scene.syx"},
        {"A/B: \"Mk II\"", "Bank <1|2>*?", "A_B_ _Mk II_ - Bank _1_2___.syx"},
        {"Synth\\Rack", "Tab\there\x01", "Synth_Rack - Tab_here_.syx"},
        {"Voce \xC3\xB6", "Patch...", "Voce \xC3\xB6 - Patch.syx"},
        {"Unit", "Bank.  ", "Unit - Bank.syx"},
        {"nul.x", "y", "_nul.x - y.syx"},
        {" Lead", "", "Lead -.syx"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(windowhost::SyxFileName(c.instrument, c.part), c.name) << c.instrument << " / " << c.part;
}

}  // namespace
