// Transmitting with the definition format's extensions, in virtual time:
// nested loops renew their values and the address in the transmit strings,
// and a transmit waits for the instrument's acknowledgement of each loop.
#include <gtest/gtest.h>

#include <functional>

#include "plugin/engine/ack_wait.h"
#include "transfer_test_support.h"

namespace {

class TransmitExtensionsTest : public TransferTest {
protected:
    TransmitExtensionsTest() {
        device.SetSysXChanOfs(2);
        device.SetSysXChanMax(15);
    }

    void SetExtensions(DRUVTemplate* target, const std::function<void(TemplateExtensions&)>& change) {
        TemplateExtensions x = target->Extensions();
        change(x);
        target->SetExtensions(x);
    }

    void Store(const Bytes& bytes) {
        DumpItem& item = *data.Items.at(0);
        ASSERT_GE(item.Capacity(), bytes.size());
        std::copy(bytes.begin(), bytes.end(), item.Data());
        item.Length = static_cast<int32_t>(bytes.size());
    }

    // `loops` stored loops, each one message F0 40 00 20 nn F7 (7 bytes with its FF).
    static Bytes Loops(int loops) {
        Bytes stored;
        for (int loop = 0; loop < loops; ++loop)
            Append(stored, {0xF0, 0x40, 0x00, 0x20, static_cast<uint8_t>(loop), 0xF7, 0xFF});
        return stored;
    }

    // A Kawai-like unit: "write complete" F0 40 0n 40, errors F0 40 0n 41,
    // waited for up to 300 ms after each loop.
    DRUVTemplate* AddAcknowledged(int loops) {
        DRUVTemplate* singles = AddTemplate("Singles", 6 * loops);
        singles->SetNumLoops(loops);
        singles->SetLoopRecvSize(6);
        SetExtensions(singles, [](TemplateExtensions& x) {
            HexTextToBytes("F0 40 00 40", x.ackPattern);
            HexTextToBytes("F0 40 00 41", x.ackErrorPattern);
            x.ackTimeOut = 300;
        });
        return singles;
    }

    // The ticks at which stored loops went out (messages with 20 at 3).
    std::vector<uint32_t> LoopTicks() const {
        std::vector<uint32_t> ticks;
        for (const SentEvent& sent : out.Sent())
            if (sent.IsSysX() && sent.sysx.size() > 2 && sent.sysx[2] == 0x20) ticks.push_back(sent.tick);
        return ticks;
    }

    // Answers stored loop `loop` (counted from 0) with `reply`.
    void AnswerLoops(std::function<Bytes(int loop)> reply) {
        out.SetAnswer([this, reply](const SentEvent& sent) {
            if (!sent.IsSysX() || sent.sysx.size() < 4 || sent.sysx[2] != 0x20) return;
            Bytes message = reply(sent.sysx[3]);
            if (!message.empty()) Reply(message);
        });
    }

    bool EndedWithTheTotal() const {
        return !sink.calls.empty() && !sink.calls.back().hasText &&
               sink.calls.back().done == sink.calls.back().total;
    }
};

TEST_F(TransmitExtensionsTest, NestedLoopsRenewValuesAndAddressInTheTransmitStrings) {
    // Two programs in each of two banks; each stored loop is followed by a
    // store command with the program (F1), the bank at 4 and an address at 5.
    DRUVTemplate* banks = AddTemplate("Banks", 24);
    banks->SetNumLoops(2);
    banks->SetLoopRecvSize(6);
    banks->SetTransmit("F0 7D 00 F1 00 00 F7");
    SetExtensions(banks, [](TemplateExtensions& x) {
        x.outerLoopCount = 2;
        x.outerLoopStart = 1;
        x.outerLoopOfs = 4;
        x.addressOfs = 5;
        x.addressBytes = 1;
        x.addressStart = 0x10;
        x.addressIncDec = 1;
    });
    Build();
    data.DeviceId = 3;
    Store(Loops(4));

    ASSERT_TRUE(Transmit());
    std::vector<Bytes> expected;
    const uint8_t values[4][3] = {{0, 1, 0x10}, {1, 1, 0x11}, {0, 2, 0x12}, {1, 2, 0x13}};
    for (int loop = 0; loop < 4; ++loop) {
        // The stored message keeps its bytes at 4 and 5: they are the unit's own.
        expected.push_back({0xF0, 0x40, 0x03, 0x20, static_cast<uint8_t>(loop), 0xF7});
        expected.push_back({0xF0, 0x7D, 0x03, values[loop][0], values[loop][1], values[loop][2], 0xF7});
    }
    EXPECT_EQ(expected, out.WireMessages());
}

TEST_F(TransmitExtensionsTest, AcknowledgedLoopsGoOnAtOnce) {
    AddAcknowledged(3);
    Build();
    data.DeviceId = 5;
    Store(Loops(3));
    AnswerLoops([](int) { return Bytes{0xF0, 0x40, 0x05, 0x40, 0x00, 0x04, 0xF7}; });

    ASSERT_TRUE(Transmit());
    std::vector<uint32_t> ticks = LoopTicks();
    ASSERT_EQ(3u, ticks.size());
    EXPECT_LT(ticks[2] - ticks[0], 40u) << "each loop's acknowledgement came at once";
    EXPECT_TRUE(EndedWithTheTotal());
}

TEST_F(TransmitExtensionsTest, AnswersForAnotherDeviceIdOrOfAnotherKindAreNoAcknowledgement) {
    AddAcknowledged(2);
    Build();
    data.DeviceId = 5;
    Store(Loops(2));
    AnswerLoops([](int loop) {
        return loop == 0 ? Bytes{0xF0, 0x40, 0x03, 0x40, 0x00, 0x04, 0xF7}   // another unit's
                         : Bytes{0xF0, 0x40, 0x05, 0x42, 0x00, 0x04, 0xF7};  // neither pattern
    });

    ASSERT_TRUE(Transmit()) << "no answer within the time goes on";
    std::vector<uint32_t> ticks = LoopTicks();
    ASSERT_EQ(2u, ticks.size());
    EXPECT_GE(ticks[1] - ticks[0], 300u) << "the first loop waited its whole time";
}

TEST_F(TransmitExtensionsTest, WithoutAnAnswerTheNextLoopLeavesWhenTheTimeIsUp) {
    DRUVTemplate* singles = AddAcknowledged(2);
    singles->SetTransmit("F0 40 00 30 F7");
    // A time that the wait's slices of 5 ms do not divide: its last slice is 1 ms.
    SetExtensions(singles, [](TemplateExtensions& x) { x.ackTimeOut = 301; });
    Build();
    Store(Loops(2));

    ASSERT_TRUE(Transmit());
    // The wait begins once the Transmit message has left the wire.
    std::vector<SentEvent> sent = out.Sent();
    ASSERT_EQ(4u, sent.size());
    uint32_t waitBegins = sent[1].tick + 5 * 1000 / 3000 + 1;
    EXPECT_EQ(waitBegins + 301, sent[2].tick) << "the second loop left exactly 301 ms after the wait began";
}

TEST_F(TransmitExtensionsTest, RefusalStopsTheTransmitAndShowsTheInstrumentsReply) {
    AddAcknowledged(3);
    Build();
    data.DeviceId = 5;
    Store(Loops(3));
    AnswerLoops([](int loop) {
        return loop == 1 ? Bytes{0xF0, 0x40, 0x05, 0x41, 0x00, 0x04, 0xF7} : Bytes{0xF0, 0x40, 0x05, 0x40, 0xF7};
    });

    EXPECT_FALSE(Transmit());
    EXPECT_TRUE(ShowedText("Error! The instrument refused Singles (its answer: F0 40 05 41 00 04 F7). Cancelling..."))
        << "last text: " << Texts().back();
    EXPECT_EQ(2u, LoopTicks().size()) << "the third loop is not sent";
    EXPECT_FALSE(EndedWithTheTotal());
}

TEST_F(TransmitExtensionsTest, RefusalOnTheLastMillisecondStillCounts) {
    AddAcknowledged(2);
    Build();
    Store(Loops(2));
    uint32_t waitBegins = 0;
    AnswerLoops([&](int) {
        waitBegins = clock.TickCount() + 6 * 1000 / 3000 + 1;  // after the message's wire time
        return Bytes{};
    });
    clock.SetSleepHook([&](uint32_t) {
        if (waitBegins != 0 && clock.TickCount() == waitBegins + 300) {
            waitBegins = 0;
            Reply({0xF0, 0x40, 0x00, 0x41, 0x7F, 0xF7});
        }
    });

    EXPECT_FALSE(Transmit());
    EXPECT_TRUE(ShowedText("Error! The instrument refused Singles (its answer: F0 40 00 41 7F F7). Cancelling..."));
    EXPECT_EQ(1u, LoopTicks().size());
}

TEST_F(TransmitExtensionsTest, PatternByteFFMatchesAnyByte) {
    DRUVTemplate* singles = AddAcknowledged(2);
    SetExtensions(singles, [](TemplateExtensions& x) { HexTextToBytes("F0 40 00 40 FF 04", x.ackPattern); });
    Build();
    Store(Loops(2));
    AnswerLoops([](int loop) { return Bytes{0xF0, 0x40, 0x00, 0x40, static_cast<uint8_t>(0x30 + loop), 0x04, 0xF7}; });

    ASSERT_TRUE(Transmit());
    std::vector<uint32_t> ticks = LoopTicks();
    ASSERT_EQ(2u, ticks.size());
    EXPECT_LT(ticks[1] - ticks[0], 40u);
}

TEST_F(TransmitExtensionsTest, LongRefusalIsShownCut) {
    AddAcknowledged(1);
    Build();
    Store(Loops(1));
    AnswerLoops([](int) {
        Bytes reply{0xF0, 0x40, 0x00, 0x41};
        reply.resize(40, 0x11);
        reply.push_back(0xF7);
        return reply;
    });

    EXPECT_FALSE(Transmit());
    std::string text = Texts().back();
    EXPECT_NE(std::string::npos, text.find("F0 40 00 41 11")) << text;
    EXPECT_NE(std::string::npos, text.find(" ...). Cancelling...")) << text;
}

TEST_F(TransmitExtensionsTest, CancelEndsTheWaitForAnAnswer) {
    AddAcknowledged(2);
    Build();
    Store(Loops(2));
    uint32_t cancelAt = 0;
    AnswerLoops([&](int) {
        cancelAt = clock.TickCount() + 100;
        return Bytes{};
    });
    clock.SetSleepHook([&](uint32_t) {
        if (cancelAt != 0 && !TickIsAfter(cancelAt, clock.TickCount())) state.abort = true;
    });

    EXPECT_FALSE(Transmit());
    EXPECT_EQ(1u, LoopTicks().size());
    EXPECT_LT(clock.TickCount() - cancelAt, 10u) << "the wait looks at the abort flag in short slices";
}

TEST_F(TransmitExtensionsTest, AcknowledgementIsOnlyAwaitedDuringTheTransmit) {
    AddAcknowledged(1);
    Build();
    Store(Loops(1));
    ASSERT_TRUE(Transmit());
    EXPECT_EQ(nullptr, state.ack_patterns.load()) << "the patterns are withdrawn with the item";
    Reply({0xF0, 0x40, 0x00, 0x41, 0xF7});
    EXPECT_EQ(AckResult::None, state.ack_result.load()) << "a reply after the transmit is ignored";
}

TEST(BeginsLikeAckPattern, ComparesFromTheF0) {
    Bytes pattern;
    HexTextToBytes("F0 40 FF 40", pattern);
    const Bytes reply{0x40, 0x07, 0x40, 0x00, 0xF7};  // after F0
    EXPECT_TRUE(BeginsLikeAckPattern(pattern, reply.data(), 5));
    EXPECT_TRUE(BeginsLikeAckPattern(pattern, reply.data(), 3)) << "the message may end with the pattern";
    EXPECT_FALSE(BeginsLikeAckPattern(pattern, reply.data(), 2)) << "shorter than the pattern";
    EXPECT_FALSE(BeginsLikeAckPattern({}, reply.data(), 5)) << "an empty pattern never matches";
    HexTextToBytes("40 07", pattern);
    EXPECT_FALSE(BeginsLikeAckPattern(pattern, reply.data(), 5)) << "a pattern is a SysX message from its F0";
}

}  // namespace
