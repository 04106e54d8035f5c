// The progress display: in place on a terminal, one line per step elsewhere,
// with figures that follow from the bytes and the time.
#include <gtest/gtest.h>

#include <string>

#include "druvhost/cli/progress_line.h"

namespace {

using druvhost::ProgressLine;

TEST(ProgressLineTest, FiguresFollowFromBytesAndTime) {
    ProgressLine line(false);
    // 3000 of 9000 bytes after 1 s: 3 kB/s, 6000 bytes left take 2 s.
    EXPECT_EQ(line.Update("Receiving Patches, 3000 bytes", 3000, 9000, 1.0),
              "Receiving Patches, 3000 bytes  3000 of 9000 bytes  3.0 kB/s  0:02 left\n");
    // Counts the text gives already are not repeated.
    EXPECT_EQ(line.Update("Sending Setup, 1000 of 4000 bytes", 1000, 4000, 0.5),
              "Sending Setup, 1000 of 4000 bytes  2.0 kB/s  0:02 left\n");
    struct Case {
        double seconds;
        const char* text;
    } durations[] = {{0, "0:00"}, {59.4, "0:59"}, {61, "1:01"}, {3723, "1:02:03"}};
    for (const Case& c : durations) EXPECT_EQ(druvhost::FormatDuration(c.seconds), c.text);
    EXPECT_EQ(druvhost::FormatRate(512), "512 B/s");
    EXPECT_EQ(druvhost::FormatRate(3125), "3.1 kB/s");
}

TEST(ProgressLineTest, OutsideATerminalOnlyANewStepWritesALine) {
    ProgressLine line(false);
    EXPECT_FALSE(line.Update("Requesting Patches, 0 bytes", 0, 100, 0).empty());
    EXPECT_TRUE(line.Update("Requesting Patches, 50 bytes", 50, 100, 1).empty());
    EXPECT_FALSE(line.Update("Requesting Scenes, 50 bytes", 50, 100, 1).empty());
    EXPECT_TRUE(line.Finish().empty());
}

TEST(ProgressLineTest, OnATerminalTheLineIsRewrittenAndCleared) {
    ProgressLine line(true);
    const std::string first = line.Update("Requesting Patches, 1000 bytes", 1000, 0, 1);
    EXPECT_EQ(first, "\rRequesting Patches, 1000 bytes");
    const std::string second = line.Update("Done", 0, 0, 2);
    // The shorter line blanks out the rest of the longer one.
    EXPECT_EQ(second, "\rDone" + std::string(first.size() - 1 - 4, ' '));
    EXPECT_EQ(line.Finish(), "\n");
    EXPECT_EQ(line.Finish(), "");
}

}  // namespace
