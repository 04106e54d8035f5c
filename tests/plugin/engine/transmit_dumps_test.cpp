// Transmitting stored dumps in virtual time: what the instrument receives,
// in which order and how fast, and how a transmit ends.
#include <gtest/gtest.h>

#include "plugin/engine/checksum.h"
#include "transfer_test_support.h"

namespace {

class TransmitDumpsTest : public TransferTest {
protected:
    TransmitDumpsTest() {
        device.SetSysXChanOfs(2);
        device.SetSysXChanMax(15);
    }

    void Store(size_t index, const Bytes& bytes) {
        DumpItem& item = *data.Items.at(index);
        if (item.Capacity() < bytes.size()) {
            ASSERT_TRUE(item.Allocate(static_cast<uint32_t>(bytes.size())));
        }
        std::copy(bytes.begin(), bytes.end(), item.Data());
        item.Length = static_cast<int32_t>(bytes.size());
    }

    // Ticks at which the host was handed each event.
    std::vector<uint32_t> SendTicks() const {
        std::vector<uint32_t> ticks;
        for (const SentEvent& sent : out.Sent()) ticks.push_back(sent.tick);
        return ticks;
    }
};

TEST_F(TransmitDumpsTest, StoredMessageGoesOutWithTheCurrentIdAndANewChecksum) {
    DRUVTemplate* patch = AddTemplate("Patch", 6);
    patch->SetTransmit("F0 7D 10 0E F7");
    Build();
    data.DeviceId = 5;
    Store(0, {0xF0, 0x7D, 0x10, 0x01, 0x00, 0xF7, 0xFF});

    ASSERT_TRUE(Transmit());
    std::vector<Bytes> expected{{0xF0, 0x7D, 0x15, 0x01, 0x00, 0xF7}, {0xF0, 0x7D, 0x15, 0x0E, 0xF7}};
    EXPECT_EQ(expected, out.WireMessages());

    out.Clear();
    patch->SetCSumType(kChecksumTwosComplement);
    patch->SetCSumStart(2);
    patch->SetCSumLength(2);
    patch->SetCSumOfs(4);
    ASSERT_TRUE(Transmit());
    EXPECT_EQ((Bytes{0xF0, 0x7D, 0x15, 0x01, 0x6A, 0xF7}), out.WireMessages().at(0)) << "(0 - (15 + 01)) & 7F";
    EXPECT_EQ((Bytes{0xF0, 0x7D, 0x10, 0x01, 0x00, 0xF7, 0xFF}), Stored(0)) << "the stored form never changes";
}

TEST_F(TransmitDumpsTest, LoopsThatTimedOutSendOnlyTheTransmitMessages) {
    DRUVTemplate* patches = AddTemplate("Patches", 6);
    patches->SetTransmit("F0 7D 10 0E F7");
    Build();
    Store(0, {0xFF, 0xFF, 0xFF});

    ASSERT_TRUE(Transmit());
    EXPECT_EQ(std::vector<Bytes>(3, Bytes{0xF0, 0x7D, 0x10, 0x0E, 0xF7}), out.WireMessages());
}

TEST_F(TransmitDumpsTest, TransmitMessagesCarryEachLoopsValueCountingDown) {
    DRUVTemplate* patches = AddTemplate("Patches", 30);
    patches->SetNumLoops(3);
    patches->SetLoopStart(10);
    patches->SetLoopIncDec(-1);
    patches->SetTransmit("F0 7D 10 12 F1 F2 F7");
    patches->SetPreTransmit("F0 7D 10 11 F7");
    patches->SetPostTransmit("F0 7D 10 13 F7");
    Build();
    Bytes stored;
    for (int loop = 0; loop < 3; ++loop) {
        Bytes message{0xF0, 0x7D, 0x10, 0x20, static_cast<uint8_t>(loop), 0xF7, 0xFF};
        Append(stored, message);
    }
    Store(0, stored);

    ASSERT_TRUE(Transmit());
    std::vector<Bytes> expected{{0xF0, 0x7D, 0x10, 0x11, 0xF7}};
    for (uint8_t loop = 0; loop < 3; ++loop) {
        expected.push_back({0xF0, 0x7D, 0x10, 0x20, loop, 0xF7});
        expected.push_back({0xF0, 0x7D, 0x10, 0x12, static_cast<uint8_t>(10 - loop), 0x00, 0xF7});
    }
    expected.push_back({0xF0, 0x7D, 0x10, 0x13, 0xF7});
    EXPECT_EQ(expected, out.WireMessages());
    EXPECT_EQ(7, state.loop_value) << "the value after the last step";

    std::vector<uint32_t> ticks = SendTicks();
    EXPECT_GE(ticks[1] - ticks[0], 300u) << "the pause after the pre-transmit";
}

TEST_F(TransmitDumpsTest, NoPauseWithoutPreTransmit) {
    AddTemplate("Patch", 6);
    Build();
    Store(0, {0xF0, 0x7D, 0x10, 0x01, 0x00, 0xF7, 0xFF});
    uint32_t start = clock.TickCount();

    ASSERT_TRUE(Transmit());
    ASSERT_EQ(1u, out.Sent().size());
    EXPECT_EQ(start, out.Sent()[0].tick);
}

TEST_F(TransmitDumpsTest, ItemWithoutDataIsReportedAndTheNextOneSent) {
    AddTemplate("Empty", 6);
    AddTemplate("Full", 6);
    Build();
    Store(1, {0xF0, 0x7D, 0x10, 0x01, 0x00, 0xF7, 0xFF});

    ASSERT_TRUE(Transmit());
    EXPECT_TRUE(ShowedText("Acme Box Empty - No data present."));
    EXPECT_EQ(1u, out.Sent().size());
}

TEST_F(TransmitDumpsTest, ChannelMessageCutShortEndsTheTransmit) {
    AddTemplate("Patch", 6);
    Build();
    Store(0, {0xC0, 0x05, 0xFF, 0xB0, 0x07});

    EXPECT_FALSE(Transmit());
    ASSERT_EQ(1u, out.Sent().size());
    EXPECT_EQ((Bytes{0xC0, 0x05}), out.Sent()[0].WireBytes());
    for (const ProgressCall& call : sink.calls) EXPECT_TRUE(call.hasText) << "no final report";
}

TEST_F(TransmitDumpsTest, DataStartingWithAnotherByteSendsNothing) {
    AddTemplate("Patch", 6);
    Build();
    Store(0, {0xF5, 0xF0, 0x7D, 0xF7, 0xFF});

    ASSERT_TRUE(Transmit());
    EXPECT_TRUE(out.Sent().empty());
}

TEST_F(TransmitDumpsTest, WithoutOutputPortNothingIsSent) {
    AddTemplate("Patch", 6);
    Build();
    Store(0, {0xF0, 0x7D, 0x10, 0xF7, 0xFF});
    data.OutPort = 0;

    EXPECT_FALSE(Transmit());
    EXPECT_TRUE(out.Sent().empty());
    ASSERT_EQ(2u, sink.calls.size());
    EXPECT_EQ("Error! No MIDI OUT port assigned", sink.calls[0].Ascii());
    EXPECT_EQ(10u, sink.calls[1].done);
    EXPECT_EQ(10u, sink.calls[1].total);
}

TEST_F(TransmitDumpsTest, EndsWithOneReportOfTheTotalWithoutText) {
    AddTemplate("First", 100);
    AddTemplate("Second", 50);
    Build();
    Bytes first = SysX(99);
    first.push_back(0xFF);
    Bytes second = SysX(49);
    second.push_back(0xFF);
    Store(0, first);
    Store(1, second);

    ASSERT_TRUE(Transmit());
    const ProgressCall& last = sink.calls.back();
    EXPECT_EQ(150u, last.done);
    EXPECT_EQ(150u, last.total);
    EXPECT_FALSE(last.hasText);
    EXPECT_TRUE(ShowedText("TRANSMITTING First, 99 of 150 bytes"));
    EXPECT_TRUE(ShowedText("TRANSMITTING Second, 148 of 150 bytes"));
}

TEST_F(TransmitDumpsTest, MessagesNeverLeaveFasterThanTheWire) {
    AddTemplate("Bank", 3000);
    Build();
    Bytes stored;
    for (size_t size : {size_t{1000}, size_t{7}, size_t{313}, size_t{1500}}) {
        Bytes message = SysX(size);
        Append(stored, message);
    }
    stored.push_back(0xFF);
    Store(0, stored);

    ASSERT_TRUE(Transmit());
    std::vector<SentEvent> sent = out.Sent();
    ASSERT_EQ(4u, sent.size());
    for (size_t i = 1; i < sent.size(); ++i) {
        uint32_t wireTime = static_cast<uint32_t>((sent[i - 1].sysx.size() + 1) * 1000 / 3125);
        EXPECT_GE(sent[i].tick - sent[i - 1].tick, wireTime) << "message " << i;
    }
}

TEST_F(TransmitDumpsTest, AbortDuringTheWireTimeEndsTheTransmitWithinASlice) {
    AddTemplate("Bank", 5000);
    Build();
    Bytes stored = SysX(4104);
    stored.push_back(0xFF);
    Bytes second = SysX(100);
    Append(stored, second);
    Store(0, stored);
    uint32_t start = clock.TickCount();
    clock.SetSleepHook([&](uint32_t) {
        if (clock.TickCount() - start >= 100) state.abort = true;
    });

    EXPECT_FALSE(Transmit());
    EXPECT_EQ(1u, out.Sent().size());
    EXPECT_LE(clock.TickCount() - start, 100u + 20u) << "not the 1.3 s of the message's wire time";
    for (const ProgressCall& call : sink.calls) EXPECT_TRUE(call.hasText) << "no final report";
}

}  // namespace
