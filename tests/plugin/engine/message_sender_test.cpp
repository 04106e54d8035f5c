// Message preparation: splitting byte strings, device ID, loop values,
// checksums, channel events, pauses and pacing, as the host receives them.
#include <gtest/gtest.h>

#include <vector>

#include "device/druv_device.h"
#include "platform/clock.h"
#include "plugin/engine/checksum.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/loop_value.h"
#include "plugin/engine/message_sender.h"
#include "plugin/engine/transfer_state.h"
#include "tests/plugin/fakes/recording_midi_out.h"

namespace {

using Bytes = std::vector<uint8_t>;

class MessageSenderTest : public ::testing::Test {
protected:
    MessageSenderTest() : clock(1000), out(&clock) {
        data.SetTransferClock(clock);
        data.OutPort = 7;
        dumpTemplate = device.AddTemplate("Patch");
        dumpTemplate->SetDelayBetweenSysX(0);
        state.host_link = &out;
    }

    bool Send(const Bytes& bytes, const DRUVTemplate* withTemplate) {
        return SendMessageList(Context(), &out, withTemplate, bytes);
    }
    bool Send(const Bytes& bytes) { return Send(bytes, dumpTemplate); }

    // The worked example: device ID at byte 2 in the low nybble, ID 3, loop
    // value 300, two's complement over bytes 3 and 4 stored at 5.
    void SetUpWorkedExample() {
        device.SetSysXChanOfs(2);
        device.SetSysXChanMax(15);
        data.DeviceId = 3;
        dumpTemplate->SetLoopValFormat(0);
        dumpTemplate->SetCSumType(1);
        dumpTemplate->SetCSumStart(3);
        dumpTemplate->SetCSumLength(2);
        dumpTemplate->SetCSumOfs(5);
        state.loop_value = 300;
    }

    TransferContext Context() { return TransferContext{device, data, state}; }

    VirtualClock clock;
    RecordingMidiOut out;
    DRUVDevice device;
    DRUVData data;
    TransferState state;
    DRUVTemplate* dumpTemplate;
};

const Bytes kWorkedRequest{0xF0, 0x7D, 0x10, 0xF1, 0xF2, 0x00, 0xF7};

TEST_F(MessageSenderTest, WorkedExampleReachesHostPrepared) {
    SetUpWorkedExample();
    ASSERT_TRUE(Send(kWorkedRequest));
    auto sent = out.Sent();
    ASSERT_EQ(sent.size(), 1u);
    const MPEvent& event = sent[0].event;
    EXPECT_EQ(event.Type, 0x10000u);
    EXPECT_EQ(event.Port, 7u);
    EXPECT_EQ(event.Channel, 0u);
    EXPECT_EQ(event.Routing, 2u);
    EXPECT_EQ(event.Length, 6u);
    EXPECT_EQ(sent[0].countArgument, 1u);
    EXPECT_EQ(sent[0].sysx, (Bytes{0x7D, 0x13, 0x2C, 0x02, 0x52, 0xF7}));
    // Every other field of the record stays zero.
    EXPECT_EQ(event.Reserved4, 0u);
    EXPECT_EQ(event.Reserved8, 0u);
    EXPECT_EQ(event.Reserved20[0] | event.Reserved20[1] | event.Reserved20[2] | event.Reserved36, 0u);
    EXPECT_EQ(event.Reserved48[0] | event.Reserved48[1] | event.Reserved48[2] | event.Reserved48[3], 0u);
}

TEST_F(MessageSenderTest, ChecksumTypesOverWorkedExample) {
    SetUpWorkedExample();
    // A definition of the first format, which knew the types up to 3 only.
    device.SetFormatVersion(1);
    const struct {
        uint8_t type;
        uint8_t stored;
    } cases[] = {{0, 0x00}, {1, 0x52}, {2, 0x2E}, {3, 0x51}, {4, 0x00}, {255, 0x00}};
    for (const auto& c : cases) {
        out.Clear();
        dumpTemplate->SetCSumType(c.type);
        ASSERT_TRUE(Send(kWorkedRequest));
        auto sent = out.Sent();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].sysx.at(4), c.stored) << "checksum type " << int(c.type);
    }
}

TEST_F(MessageSenderTest, WholeDeviceIdByteAboveFifteenChannels) {
    SetUpWorkedExample();
    device.SetSysXChanMax(16);
    ASSERT_TRUE(Send(kWorkedRequest));
    EXPECT_EQ(out.Sent().at(0).sysx.at(1), 0x03);
}

TEST_F(MessageSenderTest, DeviceIdKeepsHighNybbleAndIgnoresOffsetsOutsideMessage) {
    device.SetSysXChanMax(15);
    data.DeviceId = 0x1B;  // only the low nybble may land in the byte
    device.SetSysXChanOfs(2);
    ASSERT_TRUE(Send({0xF0, 0x7D, 0x50, 0xF7}, nullptr));
    EXPECT_EQ(out.Sent().at(0).sysx, (Bytes{0x7D, 0x5B, 0xF7}));

    for (int32_t offset : {0, 4, 5, -1}) {
        out.Clear();
        device.SetSysXChanOfs(offset);
        ASSERT_TRUE(Send({0xF0, 0x7D, 0x50, 0xF7}, nullptr));
        EXPECT_EQ(out.Sent().at(0).sysx, (Bytes{0x7D, 0x50, 0xF7})) << "offset " << offset;
    }
}

TEST_F(MessageSenderTest, LoopValueFormats) {
    const struct {
        int32_t format;
        uint8_t first, second;
    } cases[] = {{0, 0x2C, 0x02}, {1, 0x02, 0x2C}, {2, 0x0C, 0x02}, {3, 0x02, 0x0C}};
    for (const auto& c : cases) {
        uint8_t first = 0, second = 0;
        ASSERT_TRUE(LoopValueBytes(c.format, 300, &first, &second)) << "format " << c.format;
        EXPECT_EQ(first, c.first) << "format " << c.format;
        EXPECT_EQ(second, c.second) << "format " << c.format;
    }
    uint8_t untouched = 0x55;
    EXPECT_FALSE(LoopValueBytes(4, 300, &untouched, &untouched));
    EXPECT_EQ(untouched, 0x55);

    // Placeholders in any order; a negative value shifts as unsigned.
    Bytes bytes{0xF2, 0x10, 0xF1, 0xF2};
    ReplaceLoopPlaceholders(0, -1, bytes.data(), static_cast<uint32_t>(bytes.size()));
    EXPECT_EQ(bytes, (Bytes{0x7F, 0x10, 0x7F, 0x7F}));
}

// Nybble formats split a loop value of 128 to 255 into two whole nybbles:
// the top bit of the high nybble (bit 7 of the value) must survive.
TEST_F(MessageSenderTest, NybbleFormatsKeepTheTopBitOfTheHighNybble) {
    const struct {
        int32_t format;
        int32_t value;
        uint8_t first, second;
    } cases[] = {{2, 0xAB, 0x0B, 0x0A}, {3, 0xAB, 0x0A, 0x0B}, {2, 0x80, 0x00, 0x08},
                 {3, 0x80, 0x08, 0x00}, {2, 0xFF, 0x0F, 0x0F}, {3, 0xF7, 0x0F, 0x07}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "format " << c.format << ", value 0x" << std::hex << c.value);
        uint8_t first = 0, second = 0;
        ASSERT_TRUE(LoopValueBytes(c.format, c.value, &first, &second));
        EXPECT_EQ(int{c.first}, int{first});
        EXPECT_EQ(int{c.second}, int{second});

        Bytes bytes{0xF1, 0x10, 0xF2, 0xF1};
        ReplaceLoopPlaceholders(c.format, c.value, bytes.data(), static_cast<uint32_t>(bytes.size()));
        EXPECT_EQ((Bytes{c.first, 0x10, c.second, c.first}), bytes);

        out.Clear();
        dumpTemplate->SetLoopValFormat(c.format);
        state.loop_value = c.value;
        ASSERT_TRUE(Send({0xF0, 0x7D, 0xF1, 0xF2, 0xF7}));
        ASSERT_EQ(1u, out.Sent().size());
        EXPECT_EQ((Bytes{0x7D, c.first, c.second, 0xF7}), out.Sent()[0].sysx);
    }
}

TEST_F(MessageSenderTest, PlaceholdersStayWithoutTemplateOrWithUnknownFormat) {
    state.loop_value = 5;
    ASSERT_TRUE(Send({0xF0, 0xF1, 0xF2, 0xF7}, nullptr));
    EXPECT_EQ(out.Sent().at(0).sysx, (Bytes{0xF1, 0xF2, 0xF7}));
}

TEST_F(MessageSenderTest, ChecksumSumsWrapAtEightBits) {
    Bytes message{0xF0, 0x7F, 0x7F, 0x7F, 0x00, 0xF7};
    for (auto [type, expected] : {std::pair<uint8_t, uint8_t>{1, 0x03}, {2, 0x7D}, {3, 0x02}}) {
        Bytes copy = message;
        EXPECT_TRUE(ApplyChecksum({type, 1, 3, 4}, copy.data(), static_cast<uint32_t>(copy.size())));
        EXPECT_EQ(copy[4], expected) << "type " << int(type);
    }
}

TEST_F(MessageSenderTest, ChecksumRangeMustFitMessage) {
    const Bytes message{0xF0, 0x01, 0x02, 0x03, 0x55, 0xF7};
    const ChecksumRule unfit[] = {
        {2, 3, 4, 4},    // sum runs past the end
        {2, -1, 2, 4},   // sum starts before the message
        {2, 1, 2, 6},    // stored one past the end
        {2, 1, 2, -1},   // stored before the message
        {2, 1, 0x7FFFFFFF, 4},
    };
    for (const ChecksumRule& rule : unfit) {
        Bytes copy = message;
        EXPECT_FALSE(ApplyChecksum(rule, copy.data(), static_cast<uint32_t>(copy.size())))
            << "start " << rule.start << " length " << rule.length << " at " << rule.storeAt;
        EXPECT_EQ(copy, message);
    }
    Bytes copy = message;
    EXPECT_TRUE(ApplyChecksum({2, 4, 2, 3}, copy.data(), static_cast<uint32_t>(copy.size())));
    EXPECT_EQ(copy[3], (0x55 + 0xF7) & 0x7F) << "the last two bytes may be summed";
}

// A stored dump replayed through a template whose checksum covers no bytes
// goes out as it was stored.
TEST_F(MessageSenderTest, NoChecksumForLengthZeroOrBelow) {
    const Bytes dump{0xF0, 0x7D, 0x10, 0x2C, 0x02, 0x52, 0xF7};
    for (int32_t length : {0, -3}) {
        out.Clear();
        dumpTemplate->SetCSumType(3);
        dumpTemplate->SetCSumStart(3);
        dumpTemplate->SetCSumLength(length);
        dumpTemplate->SetCSumOfs(5);
        ASSERT_TRUE(Send(dump));
        ASSERT_EQ(out.Sent().size(), 1u);
        EXPECT_EQ(out.Sent()[0].sysx, (Bytes{0x7D, 0x10, 0x2C, 0x02, 0x52, 0xF7})) << "length " << length;
    }
}

TEST_F(MessageSenderTest, PauseThenProgramChange) {
    dumpTemplate->SetCSumType(0);
    ASSERT_TRUE(Send({0xF0, 0x7D, 0x01, 0xF7, 0xF3, 0x0A, 0xC5, 0x0A}));
    auto sent = out.Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].WireBytes(), (Bytes{0xF0, 0x7D, 0x01, 0xF7}));
    EXPECT_EQ(sent[0].event.Length, 3u);
    EXPECT_EQ(sent[1].event.Type, 0x200u);
    EXPECT_EQ(sent[1].event.Channel, 5u);
    EXPECT_EQ(sent[1].event.Data.Short[0], 10);
    EXPECT_EQ(sent[1].event.Data.Short[1], 0);
    EXPECT_EQ(sent[1].event.Routing, 2u);
    EXPECT_EQ(sent[1].event.Length, 0u);
    // The 4-byte message needs 1 ms on the wire (waited 2 ms), then 1000 ms of pause.
    EXPECT_EQ(sent[1].tick - sent[0].tick, 1002u);
}

TEST_F(MessageSenderTest, PauseAtEndWithoutLengthDoesNothing) {
    ASSERT_TRUE(Send({0xC1, 0x05, 0xF3}));
    EXPECT_EQ(clock.TimeSlept(), 0u);
    ASSERT_EQ(out.Sent().size(), 1u);
}

TEST_F(MessageSenderTest, ChannelMessageWithoutDataBytesFails) {
    EXPECT_FALSE(Send({0x90, 0x3C}));
    EXPECT_TRUE(out.Sent().empty());
    // Earlier messages of the string have gone out.
    EXPECT_FALSE(Send({0xC0, 0x01, 0xD0}));
    EXPECT_EQ(out.Sent().size(), 1u);
}

TEST_F(MessageSenderTest, DataBytesMayCrossBoundaryAndLoseTopBit) {
    dumpTemplate->SetLoopValFormat(1);
    state.loop_value = 0x1FFF;
    ASSERT_TRUE(Send({0xB2, 0xF1, 0x90, 0x40, 0x41}));
    auto sent = out.Sent();
    ASSERT_EQ(sent.size(), 2u) << "the 90 is a data byte of the control change and a message of its own";
    EXPECT_EQ(sent[0].WireBytes(), (Bytes{0xB2, 0x3F, 0x10}));
    EXPECT_EQ(sent[1].WireBytes(), (Bytes{0x90, 0x40, 0x41}));
}

TEST_F(MessageSenderTest, EveryChannelKindHasItsTypeCode) {
    ASSERT_TRUE(Send({0x81, 1, 2, 0x92, 1, 2, 0xA3, 1, 2, 0xB4, 1, 2, 0xC5, 1, 0xD6, 1, 0xE7, 1, 2}));
    const uint32_t types[] = {0x20, 0x40, 0x80, 0x100, 0x200, 0x400, 0x800};
    auto sent = out.Sent();
    ASSERT_EQ(sent.size(), 7u);
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(sent[i].event.Type, types[i]) << "message " << i;
        EXPECT_EQ(sent[i].event.Channel, i + 1) << "message " << i;
    }
}

TEST_F(MessageSenderTest, LeadingBytesAreIgnoredAndOddStartsSendNothing) {
    ASSERT_TRUE(Send({0x01, 0x02, 0xF0, 0x7D, 0xF7}));
    ASSERT_EQ(out.Sent().size(), 1u);
    EXPECT_EQ(out.Sent()[0].WireBytes(), (Bytes{0xF0, 0x7D, 0xF7}));

    for (uint8_t first : {0xF7, 0xF1, 0xF4, 0xFF}) {
        out.Clear();
        EXPECT_TRUE(Send({first, 0xF0, 0x7D, 0xF7, 0xC0, 0x01}));
        EXPECT_TRUE(out.Sent().empty()) << "string starting with " << int(first);
    }
    out.Clear();
    EXPECT_TRUE(Send({}));
    EXPECT_TRUE(out.Sent().empty());
}

TEST_F(MessageSenderTest, ChannelNybbleZeroFollowsStoreWhenDeviceWantsChannel) {
    data.Channel = 9;
    ASSERT_TRUE(Send({0xC0, 0x01, 0xC3, 0x01}));
    EXPECT_EQ(out.Sent().at(0).event.Channel, 0u);
    EXPECT_EQ(out.Sent().at(1).event.Channel, 3u);

    out.Clear();
    device.SetMidiChannel(1);
    ASSERT_TRUE(Send({0xC0, 0x01, 0xC3, 0x01, 0xF0, 0xF7}));
    EXPECT_EQ(out.Sent().at(0).event.Channel, 9u);
    EXPECT_EQ(out.Sent().at(1).event.Channel, 3u);
    EXPECT_EQ(out.Sent().at(2).event.Channel, 9u) << "a SysX event's nybble is 0 as well";
}

TEST_F(MessageSenderTest, DelayFollowsEveryMessageOfTemplate) {
    dumpTemplate->SetDelayBetweenSysX(50);
    ASSERT_TRUE(Send({0xC0, 0x01, 0xC0, 0x02}));
    auto sent = out.Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].tick - sent[0].tick, 50u);
    EXPECT_EQ(clock.TimeSlept(), 100u);

    // Without a template, and with a negative delay, no pause at all.
    uint64_t before = clock.TimeSlept();
    ASSERT_TRUE(Send({0xC0, 0x01}, nullptr));
    dumpTemplate->SetDelayBetweenSysX(-5);
    ASSERT_TRUE(Send({0xC0, 0x01}));
    EXPECT_EQ(clock.TimeSlept(), before);
}

TEST_F(MessageSenderTest, AbortEndsAfterCurrentMessageAndItsDelay) {
    dumpTemplate->SetDelayBetweenSysX(20);
    clock.SetSleepHook([this](uint32_t) { state.abort.store(true, std::memory_order_release); });
    EXPECT_FALSE(Send({0xF0, 0x01, 0xF7, 0xF0, 0x02, 0xF7}));
    auto sent = out.Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].sysx, (Bytes{0x01, 0xF7}));
    clock.SetSleepHook(nullptr);

    // A pause is not followed by a check, but it ends within one slice of
    // Cancel: 20 ms of a 12.7 s pause.
    out.Clear();
    state.abort = false;
    dumpTemplate->SetDelayBetweenSysX(0);
    uint64_t before = clock.TimeSlept();
    clock.SetSleepHook([this](uint32_t) { state.abort.store(true, std::memory_order_release); });
    EXPECT_FALSE(Send({0xF3, 0x7F, 0xC0, 0x01, 0xC0, 0x02}));
    EXPECT_EQ(out.Sent().size(), 1u);
    EXPECT_EQ(clock.TimeSlept() - before, 20u);
    clock.SetSleepHook(nullptr);

    // A long delay between messages ends as soon as Cancel comes as well.
    out.Clear();
    state.abort = false;
    dumpTemplate->SetDelayBetweenSysX(5000);
    before = clock.TimeSlept();
    clock.SetSleepHook([this](uint32_t) { state.abort.store(true, std::memory_order_release); });
    EXPECT_FALSE(Send({0xC0, 0x01, 0xC0, 0x02}));
    EXPECT_EQ(out.Sent().size(), 1u);
    EXPECT_EQ(clock.TimeSlept() - before, 20u);
    clock.SetSleepHook(nullptr);
}

TEST_F(MessageSenderTest, NoOutputSendsNothing) {
    EXPECT_FALSE(SendMessageList(Context(), nullptr, dumpTemplate, Bytes{0xC0, 0x01}));
}

TEST_F(MessageSenderTest, SourceStringIsNeverChanged) {
    SetUpWorkedExample();
    Bytes request = kWorkedRequest;
    ASSERT_TRUE(Send(request));
    EXPECT_EQ(request, kWorkedRequest);
}

TEST(WaitByteTime, Figures) {
    const struct {
        uint32_t now;
        uint64_t slept;
    } cases[] = {{1000, 34}, {1005, 29}, {1031, 3}, {1032, 0}, {1500, 0}};
    for (const auto& c : cases) {
        VirtualClock clock(c.now);
        WaitByteTime(clock, 100, 1000);
        EXPECT_EQ(clock.TimeSlept(), c.slept) << "wait beginning at tick " << c.now;
    }
}

TEST(WaitByteTime, AcrossTickWrap) {
    VirtualClock clock(0xFFFFFFFFu);
    WaitByteTime(clock, 100, 0xFFFFFFF0u);  // handed over 15 ms ago
    EXPECT_EQ(clock.TimeSlept(), 33u - 15u + 1u);
}

TEST(WaitByteTime, LongMessagesArePacedInFull) {
    VirtualClock clock(0);
    WaitByteTime(clock, 5000000, 0);  // 5 MB: 1600 s on the wire
    EXPECT_EQ(clock.TimeSlept(), 5000000ull * 1000 / 3000 + 1);
}

}  // namespace
