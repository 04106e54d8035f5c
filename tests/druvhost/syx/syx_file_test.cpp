// Reading a .syx file: its SysX messages as views into the file's bytes,
// bytes outside them skipped and counted, and a file that is empty, holds no
// message or cuts one off refused with where.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "druvhost/syx/syx_file.h"
#include "tests/druvhost/syx/syx_test_device.h"

namespace {

using druvhost::ParseSyx;
using druvhost::SyxFile;
using druvhost::SyxReadError;
using syxtest::Bytes;
using syxtest::Message;

TEST(SyxFileTest, FindsEachMessageAndCountsWhatLiesBetween) {
    const Bytes a = Message(6, 1), b = Message(9, 2);
    struct Row {
        const char* what;
        Bytes bytes;
        std::vector<size_t> offsets;
        size_t skipped;
    };
    Bytes junk = {0x00, 0x90, 0x40, 0x7F};
    std::vector<Row> rows = {
        {"back to back", syxtest::Joined({a, b}), {0, 6}, 0},
        {"junk before, between and after", syxtest::Joined({junk, a, junk, b, junk}), {4, 14}, 12},
        {"a lone F7 outside a message", syxtest::Joined({{0xF7}, a}), {1}, 1},
    };
    for (const Row& row : rows) {
        SyxFile file;
        const druvhost::SyxReadResult result = ParseSyx(row.bytes, file);
        ASSERT_EQ(SyxReadError::None, result.error) << row.what << ": " << result.text;
        ASSERT_EQ(row.offsets.size(), file.messages.size()) << row.what;
        for (size_t i = 0; i < row.offsets.size(); ++i) {
            EXPECT_EQ(row.offsets[i], file.messages[i].offset) << row.what << ", message " << i;
            const Bytes& want = i == 0 ? a : b;
            EXPECT_EQ(want, Bytes(file.Data(file.messages[i]), file.Data(file.messages[i]) + file.messages[i].size))
                << row.what << ", message " << i;
        }
        EXPECT_EQ(row.skipped, file.skippedBytes) << row.what;
    }
}

TEST(SyxFileTest, RefusesWhatHoldsNoWholeMessage) {
    const Bytes a = Message(6, 1);
    Bytes cutByStatus = syxtest::Joined({a, Message(9, 2)});
    cutByStatus[9] = 0x90;  // a note-on inside the second message
    Bytes cutByNext = syxtest::Joined({a, Message(9, 2)});
    cutByNext.erase(cutByNext.begin() + 5);  // the first message loses its F7
    struct Row {
        const char* what;
        Bytes bytes;
        SyxReadError error;
        size_t offset;
        const char* says;
    };
    const Row rows[] = {
        {"empty", {}, SyxReadError::Empty, 0, "empty"},
        {"no F0 at all", {0x90, 0x40, 0x7F, 0x01}, SyxReadError::NoMessages, 0, "no SysX message"},
        {"the file ends inside a message", Bytes(a.begin(), a.end() - 1), SyxReadError::Unterminated, 0,
         "at byte 0 has no end byte"},
        {"a status byte inside a message", cutByStatus, SyxReadError::Unterminated, 6, "at byte 6 has no end byte"},
        {"the next message starts before the end", cutByNext, SyxReadError::Unterminated, 0, "at byte 0"},
    };
    for (const Row& row : rows) {
        SyxFile file;
        const druvhost::SyxReadResult result = ParseSyx(row.bytes, file);
        EXPECT_EQ(row.error, result.error) << row.what << ": " << result.text;
        EXPECT_EQ(row.offset, result.offset) << row.what;
        EXPECT_NE(std::string::npos, result.text.find(row.says)) << row.what << ": " << result.text;
        EXPECT_TRUE(file.messages.empty()) << row.what;
    }
}

TEST(SyxFileTest, ReadsAFileByPathAndRefusesAMissingOne) {
    const std::string path = ::testing::TempDir() + "syx_file_test.syx";
    const Bytes bytes = syxtest::Joined({Message(6, 1), Message(7, 2)});
    std::FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(out);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    SyxFile file;
    EXPECT_EQ(SyxReadError::None, druvhost::ReadSyxFile(path, file).error);
    EXPECT_EQ(2u, file.messages.size());
    std::remove(path.c_str());
    const druvhost::SyxReadResult missing = druvhost::ReadSyxFile(path, file);
    EXPECT_EQ(SyxReadError::Unreadable, missing.error) << missing.text;
    EXPECT_TRUE(file.messages.empty());
}

}  // namespace
