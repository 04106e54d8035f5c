// The status bar's figures, the date in the instrument list, and the
// progress on its way from the transfer thread.
#include <gtest/gtest.h>


#include "windowhost/core/progress_mailbox.h"
#include "windowhost/core/receive_date.h"
#include "windowhost/core/transfer_figures.h"

namespace {

TEST(TransferFiguresTest, FiguresFollowBytesAndTime) {
    struct Case {
        uint32_t done, total;
        double seconds;
        int percent;
        const char *bytes, *rate, *left;
    };
    const Case cases[] = {
        {0, 0, 3.0, 0, "", "", ""},                               // no total yet
        {0, 4372, 0.0, 0, "0 of 4372 bytes", "", ""},
        {600, 4372, 0.2, 13, "600 of 4372 bytes", "", ""},          // too soon for a rate
        {2000, 4000, 2.0, 50, "2000 of 4000 bytes", "1.0 kB/s", "0:02 left"},
        {4100, 4000, 2.0, 100, "4100 of 4000 bytes", "2.0 kB/s", "0:00 left"},  // a reply longer than announced
        {65536, 65536, 21.0, 100, "65536 of 65536 bytes", "3.1 kB/s", "0:00 left"},
        {300, 3000, 3.0, 10, "300 of 3000 bytes", "100 B/s", "0:27 left"},
    };
    for (const Case& c : cases) {
        const windowhost::TransferFigures figures = windowhost::FiguresFor(c.done, c.total, c.seconds);
        const std::string what = std::to_string(c.done) + "/" + std::to_string(c.total);
        EXPECT_EQ(figures.percent, c.percent) << what;
        EXPECT_EQ(figures.bytes, c.bytes) << what;
        EXPECT_EQ(figures.rate, c.rate) << what;
        EXPECT_EQ(figures.timeLeft, c.left) << what;
    }
}

TEST(ReceiveDateTest, DatesShowInLocalTimeAndNeverForNone) {
    struct Case {
        int64_t seconds, offset;
        const char* text;
    };
    const Case cases[] = {
        {0, 3600, "never"},
        {1772323200, 0, "2026-03-01 00:00"},
        {1772323200 - 60, 0, "2026-02-28 23:59"},
        {1772323200 - 60, 3600, "2026-03-01 00:59"},      // east of UTC
        {1772323200, -5 * 3600, "2026-02-28 19:00"},       // west of UTC
        {951782400, 0, "2000-02-29 00:00"},                // a leap day
        {-86400, 0, "1969-12-31 00:00"},                   // a clock set wrong
    };
    for (const Case& c : cases) EXPECT_EQ(windowhost::ReceiveDateText(c.seconds, c.offset), c.text) << c.seconds;
}

TEST(ProgressMailboxTest, OneMessageOnItsWayAtATimeAndTheLatestReportWins) {
    windowhost::ProgressMailbox mailbox;
    const std::string first = "RECEIVING Setup";
    EXPECT_TRUE(mailbox.Leave(0, 100, &first));
    EXPECT_FALSE(mailbox.Leave(10, 100, nullptr)) << "a message is on its way already";
    EXPECT_FALSE(mailbox.Leave(20, 100, nullptr));
    windowhost::ProgressReport report = mailbox.Take();
    EXPECT_EQ(report.done, 20u);
    EXPECT_EQ(report.text, first) << "a report without text keeps the last one";
    EXPECT_EQ(report.reports, 3u);
    EXPECT_TRUE(mailbox.Leave(30, 100, nullptr)) << "taken: the next report posts again";
    mailbox.Reset();
    report = mailbox.Take();
    EXPECT_EQ(report.text, "");
    EXPECT_EQ(report.reports, 0u);
}

}  // namespace
