// Progress texts, the manual-dump prompt and the message pauses, as the host's
// progress sink sees them, and the conversion of texts to UTF-16.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "plugin/engine/transfer_progress.h"
#include "plugin/engine/wide_text.h"
#include "tests/platform/hex_units.h"
#include "tests/plugin/fakes/recording_progress_sink.h"

namespace {

class TransferProgressTest : public ::testing::Test {
protected:
    TransferProgressTest() : clock(5000), sink(&clock) {}

    TransferProgress Reporter(const char* name, bool receiving, uint32_t requestLength) {
        return TransferProgress(&sink, context, done, total, name, abort, receiving, requestLength, clock);
    }

    VirtualClock clock;
    RecordingProgressSink sink;
    void* context = reinterpret_cast<void*>(0x1234);
    uint32_t done = 0;
    uint32_t total = 40;
    std::atomic<bool> abort{false};
};

TEST_F(TransferProgressTest, StatusTexts) {
    auto receive = Reporter("Patch", true, 8);
    done = 12;
    receive.Update(0);
    auto transmit = Reporter("Patch", false, 0);
    transmit.Update(3);
    total = 10;
    done = 0;
    auto unnamed = Reporter("", true, 8);
    unnamed.Update(10);

    ASSERT_EQ(sink.calls.size(), 3u);
    EXPECT_EQ(sink.calls[0].Ascii(), "RECEIVING Patch, 12 of 40 bytes");
    EXPECT_EQ(sink.calls[0].done, 12u);
    EXPECT_EQ(sink.calls[0].total, 40u);
    EXPECT_EQ(sink.calls[0].context, context);
    EXPECT_EQ(sink.calls[1].Ascii(), "TRANSMITTING Patch, 15 of 40 bytes");
    EXPECT_EQ(sink.calls[1].done, 15u);
    EXPECT_EQ(sink.calls[2].Ascii(), "RECEIVING , 10 of 10 bytes");
    EXPECT_EQ(done, 0u) << "Update counts nothing";
    EXPECT_EQ(clock.SleepCount(), 0u);
}

TEST_F(TransferProgressTest, ManualDumpPromptThenWaitingText) {
    auto reporter = Reporter("Patch", true, 0);
    ASSERT_EQ(sink.calls.size(), 1u);
    EXPECT_EQ(sink.calls[0].Ascii(), "MANUAL DUMP! Trigger the dump when \"WAITING FOR MANUAL DUMP\" appears...");
    EXPECT_EQ(sink.calls[0].done, 0u);
    EXPECT_EQ(clock.TimeSlept(), 3000u);
    EXPECT_EQ(clock.SleepCount(), 30u);

    reporter.Update(0);
    EXPECT_EQ(sink.calls.at(1).Ascii(), "WAITING FOR Patch MANUAL DUMP...");
    EXPECT_EQ(sink.calls.at(1).tick - sink.calls[0].tick, 3000u);
    reporter.Update(5);
    EXPECT_EQ(sink.calls.at(2).Ascii(), "RECEIVING Patch, 5 of 40 bytes");
}

TEST_F(TransferProgressTest, ManualDumpLaterInTransferShowsReceivingText) {
    done = 20;
    auto reporter = Reporter("Second", true, 0);
    reporter.Update(0);
    ASSERT_EQ(sink.calls.size(), 2u);
    EXPECT_EQ(sink.calls[0].done, 20u);
    EXPECT_EQ(sink.calls[1].Ascii(), "RECEIVING Second, 20 of 40 bytes");
}

TEST_F(TransferProgressTest, PromptPauseEndsAtAbort) {
    clock.SetSleepHook([this](uint32_t) {
        if (clock.SleepCount() == 4) abort.store(true, std::memory_order_release);
    });
    auto reporter = Reporter("Patch", true, 0);
    EXPECT_EQ(clock.SleepCount(), 4u);
    EXPECT_EQ(clock.TimeSlept(), 400u);

    clock.SetSleepHook(nullptr);
    auto already = Reporter("Patch", true, 0);
    EXPECT_EQ(clock.SleepCount(), 4u) << "no pause once aborted";
    EXPECT_EQ(sink.calls.size(), 2u) << "the prompt is still shown";
}

TEST_F(TransferProgressTest, NoPromptForTransmitOrRequestedDump) {
    auto transmit = Reporter("Patch", false, 0);
    auto requested = Reporter("Patch", true, 3);
    EXPECT_TRUE(sink.calls.empty());
}

TEST_F(TransferProgressTest, ShowMessageStaysReadable) {
    auto reporter = Reporter("Patch", true, 8);
    done = 7;
    reporter.ShowMessage("Error! No MIDI OUT port assigned", 3);
    ASSERT_EQ(sink.calls.size(), 1u);
    EXPECT_EQ(sink.calls[0].Ascii(), "Error! No MIDI OUT port assigned");
    EXPECT_EQ(sink.calls[0].done, 10u);
    EXPECT_EQ(clock.TimeSlept(), 1500u);

    abort = true;
    reporter.ShowMessage("again", 0);
    EXPECT_EQ(clock.TimeSlept(), 1500u);
}

TEST_F(TransferProgressTest, AdvanceCountsSharedBytes) {
    auto first = Reporter("A", true, 8);
    auto second = Reporter("B", true, 8);
    first.Advance(10);
    second.Advance(5);
    EXPECT_EQ(done, 15u);
    second.Update(1);
    EXPECT_EQ(sink.calls.at(0).Ascii(), "RECEIVING B, 16 of 40 bytes");
}

TEST_F(TransferProgressTest, ReportWithoutText) {
    auto reporter = Reporter("A", false, 0);
    reporter.Report(150, 150, nullptr);
    ASSERT_EQ(sink.calls.size(), 1u);
    EXPECT_FALSE(sink.calls[0].hasText);
    EXPECT_EQ(sink.calls[0].done, 150u);
}

TEST_F(TransferProgressTest, LongTextsAreCut) {
    std::string name(300, 'n');
    auto reporter = Reporter(name.c_str(), true, 8);
    EXPECT_EQ(reporter.Name().size(), 255u);
    reporter.Update(0);
    std::string expected = "RECEIVING " + std::string(245, 'n');
    EXPECT_EQ(sink.calls.at(0).Ascii(), expected);

    reporter.ShowMessage(std::string(1000, 'm').c_str(), 0);
    EXPECT_EQ(sink.calls.at(1).text.size(), 255u);
}

TEST_F(TransferProgressTest, NullSinkTakesNoCalls) {
    TransferProgress reporter(nullptr, context, done, total, "A", abort, true, 0, clock);
    reporter.Update(0);
    reporter.ShowMessage("x", 0);
    EXPECT_EQ(clock.TimeSlept(), 4500u) << "the pauses still happen";
}

std::u16string Widened(const char* text, size_t maxBytes) {
    std::unique_ptr<WCHAR[]> wide = WidenText(text, maxBytes);
    std::u16string result;
    for (const WCHAR* unit = wide.get(); unit && *unit; ++unit) result += static_cast<char16_t>(*unit);
    return result;
}

TEST(WidenText, AsciiInAnyLocale) {
    EXPECT_EQ(Widened("RECEIVING Patch", 255), u"RECEIVING Patch");
    EXPECT_EQ(Widened("", 255), u"");
    EXPECT_EQ(Widened(nullptr, 255), u"");
    EXPECT_EQ(Widened("abcdef", 3), u"abc");
}

// Texts are UTF-8 whatever the C library's locale says.
TEST(WidenText, Utf8NeverCutInsideCharacter) {
    // "Bänke" and a character outside the basic plane (U+1F3B9, four bytes).
    const char text[] = "B\xC3\xA4nke \xF0\x9F\x8E\xB9!";
    EXPECT_EQ(Widened(text, 255), u"B\u00E4nke \U0001F3B9!");
    EXPECT_EQ(Widened(text, 2), u"B") << "the two-byte character does not fit";
    EXPECT_EQ(Widened(text, 3), u"B\u00E4");
    EXPECT_EQ(Widened(text, 10), u"B\u00E4nke ") << "three of four bytes";
    EXPECT_EQ(Widened(text, 11), u"B\u00E4nke \U0001F3B9");
    EXPECT_EQ(Widened("a\xFF" "b", 255), u"a\uFFFDb") << "an invalid byte";
}

TEST_F(TransferProgressTest, NamesBeyondAsciiReachTheSinkWhole) {
    struct Case {
        const char* name;
        std::u16string text;
    };
    const Case cases[] = {
        {"Kl\xC3\xA4nge", u"RECEIVING Kl\u00E4nge, 0 of 40 bytes"},
        {"Stimme 1 \xE2\x80\x93 Bass", u"RECEIVING Stimme 1 \u2013 Bass, 0 of 40 bytes"},
        {"\xF0\x9F\x8E\xB9 Keys", u"RECEIVING \U0001F3B9 Keys, 0 of 40 bytes"},
    };
    for (const Case& c : cases) {
        sink.calls.clear();
        Reporter(c.name, true, 8).Update(0);
        ASSERT_EQ(1u, sink.calls.size()) << c.name;
        EXPECT_EQ(HexUnits(c.text), HexUnits(sink.calls[0].text)) << c.name;
    }
}

TEST_F(TransferProgressTest, CutStatusTextKeepsWholeCharacters) {
    std::string name;
    while (name.size() < 250) name += "\xC3\xA4";  // ä, two bytes each
    auto reporter = Reporter(name.c_str(), true, 8);
    reporter.Update(0);
    // "RECEIVING " leaves 245 bytes: 122 whole characters, the 123rd is cut.
    std::u16string text = sink.calls.at(0).text;
    EXPECT_EQ(text.size(), 10u + 122u);
    EXPECT_EQ(text.back(), u'\u00E4');
}

TEST(VirtualClockTest, SleepsAdvanceTimeAtOnce) {
    VirtualClock clock(0xFFFFFFF0u);
    clock.Sleep(0x20);
    EXPECT_EQ(clock.TickCount(), 0x10u) << "the tick wraps like the system's";
    clock.Advance(5);
    EXPECT_EQ(clock.TickCount(), 0x15u);
    EXPECT_EQ(clock.SleepCount(), 1u);
    EXPECT_EQ(clock.TimeSlept(), 0x20u);
}

TEST(VirtualClockTest, SharedBetweenThreads) {
    VirtualClock clock(0);
    std::thread other([&clock] {
        for (int i = 0; i < 1000; ++i) clock.Sleep(3);
    });
    for (int i = 0; i < 1000; ++i) clock.Sleep(2);
    other.join();
    EXPECT_EQ(clock.TickCount(), 5000u);
    EXPECT_EQ(clock.SleepCount(), 2000u);
}

TEST(SystemClockTest, TicksMoveForward) {
    Clock& clock = SystemClock();
    uint32_t before = clock.TickCount();
    clock.Sleep(2);
    uint32_t elapsed = clock.TickCount() - before;
    EXPECT_LT(elapsed, 60000u) << "the tick count does not run backwards";
}

}  // namespace
