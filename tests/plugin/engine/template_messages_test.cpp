// Messages sent from a template's byte strings: the loop address and the
// outer loop value at their positions, then the request's own checksum rule
// over everything put in before it; replayed dumps keep the dump's rule and
// their own address.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "device/druv_device.h"
#include "platform/clock.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/item_loops.h"
#include "plugin/engine/loop_fields.h"
#include "plugin/engine/message_sender.h"
#include "plugin/engine/transfer_state.h"
#include "tests/plugin/fakes/recording_midi_out.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Roland addresses are numbers of 7 bits per byte: 02 00 00 is 2 x 4000h.
constexpr int32_t RolandAddress(int32_t high, int32_t middle, int32_t low) {
    return (high << 14) | (middle << 7) | low;
}

Bytes AddressOf(int32_t byteCount, int32_t start, int32_t step, int32_t loop) {
    Bytes message{0xF0, 0x41, 0x00, 0x14, 0x11, 0x00, 0x00, 0x00, 0x00, 0xF7};
    WriteLoopAddress(5, byteCount, start, step, loop, message.data(), static_cast<uint32_t>(message.size()));
    return Bytes(message.begin() + 5, message.begin() + 5 + byteCount);
}

TEST(WriteLoopAddress, StridesCarryFromOneSevenBitByteIntoTheNext) {
    struct Case {
        const char* what;
        int32_t bytes, start, step, loop;
        Bytes expected;
    };
    const Case cases[] = {
        // The D-50's patches: 02 00 00 + n x 1C0h across three bytes.
        {"D-50 patch 1", 3, RolandAddress(2, 0, 0), 0x1C0, 0, {0x02, 0x00, 0x00}},
        {"D-50 patch 2", 3, RolandAddress(2, 0, 0), 0x1C0, 1, {0x02, 0x03, 0x40}},
        {"D-50 patch 3", 3, RolandAddress(2, 0, 0), 0x1C0, 2, {0x02, 0x07, 0x00}},
        {"D-50 patch 64", 3, RolandAddress(2, 0, 0), 0x1C0, 63, {0x03, 0x5C, 0x40}},
        // The JD-800's: 05 00 00 + n x 180h.
        {"JD-800 patch 2", 3, RolandAddress(5, 0, 0), 0x180, 1, {0x05, 0x03, 0x00}},
        {"a carry out of the lowest byte", 3, 0x7F, 1, 1, {0x00, 0x01, 0x00}},
        {"a carry through two bytes", 3, RolandAddress(0, 0x7F, 0x7F), 1, 1, {0x01, 0x00, 0x00}},
        {"the last address before the carry", 3, RolandAddress(0, 0x7F, 0x7E), 1, 1, {0x00, 0x7F, 0x7F}},
        {"counting down", 2, RolandAddress(0, 1, 0), -1, 1, {0x00, 0x7F}},
        {"one byte keeps the low seven bits", 1, 0x85, 0, 0, {0x05}},
        {"four bytes", 4, 0x0FFFFFFF, 1, 0, {0x7F, 0x7F, 0x7F, 0x7F}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, AddressOf(c.bytes, c.start, c.step, c.loop)) << c.what;
}

TEST(WriteLoopAddress, FieldOutsideTheMessageBodyIsNotWritten) {
    const Bytes message{0xF0, 0x41, 0x00, 0x14, 0x11, 0x00, 0x00, 0xF7};
    struct Case {
        int32_t offset, bytes;
        const char* what;
    };
    const Case cases[] = {{0, 1, "over the F0"},    {6, 2, "over the F7"},   {8, 1, "past the end"},
                          {-1, 2, "before it"},     {1, 0, "no bytes"},      {1, 5, "more than four bytes"}};
    for (const Case& c : cases) {
        Bytes copy = message;
        WriteLoopAddress(c.offset, c.bytes, 0x3FFF, 1, 0, copy.data(), static_cast<uint32_t>(copy.size()));
        EXPECT_EQ(message, copy) << c.what;
    }
    Bytes last = message;
    WriteLoopAddress(5, 2, 0x3FFF, 0, 0, last.data(), static_cast<uint32_t>(last.size()));
    EXPECT_EQ((Bytes{0xF0, 0x41, 0x00, 0x14, 0x11, 0x7F, 0x7F, 0xF7}), last) << "up to the byte before F7";
}

TEST(WriteOuterLoopValue, EveryFormatAtItsPosition) {
    struct Case {
        int32_t format;
        Bytes expected;
    };
    // The value 300 (12Ch) at position 2.
    const Case cases[] = {{kOuter7Bit, {0x2C, 0x00}},          {kOuter14BitLowHigh, {0x2C, 0x02}},
                          {kOuter14BitHighLow, {0x02, 0x2C}},  {kOuterNybbleLowHigh, {0x0C, 0x02}},
                          {kOuterNybbleHighLow, {0x02, 0x0C}}, {kLastOuterLoopFormat + 1, {0x2C, 0x00}}};
    for (const Case& c : cases) {
        Bytes message{0xF0, 0x7D, 0x00, 0x00, 0xF7};
        WriteOuterLoopValue(c.format, 300, 2, message.data(), static_cast<uint32_t>(message.size()));
        EXPECT_EQ(c.expected, Bytes(message.begin() + 2, message.begin() + 4)) << "format " << c.format;
    }
    Bytes tight{0xF0, 0x7D, 0x00, 0xF7};
    WriteOuterLoopValue(kOuter14BitLowHigh, 300, 2, tight.data(), 4);
    EXPECT_EQ((Bytes{0xF0, 0x7D, 0x00, 0xF7}), tight) << "two bytes would cover the F7";
}

class TemplateMessagesTest : public ::testing::Test {
protected:
    TemplateMessagesTest() : clock(1000), out(&clock) {
        data.SetTransferClock(clock);
        data.OutPort = 7;
        state.host_link = &out;
        patch = device.AddTemplate("Patch");
        patch->SetDelayBetweenSysX(0);
    }

    TransferContext Context() { return TransferContext{device, data, state}; }

    // The message the template's byte string `bytes` becomes at loop `loop`
    // of its item (the loop state stepped there as a transfer steps it).
    Bytes Sent(const char* bytes, int loop = 0) {
        StartItemLoops(state, *patch);
        for (int i = 0; i < loop; ++i) StepItemLoop(state, *patch);
        out.Clear();
        Bytes text;
        HexTextToBytes(bytes, text);
        EXPECT_TRUE(SendMessageList(Context(), &out, patch, text));
        return out.Sent().empty() ? Bytes{} : out.Sent().back().WireBytes();
    }

    // A Roland RQ1 per patch: address at 5 (three bytes), size after it,
    // Roland's checksum over both, counted back from the end.
    void RolandPatchRequests(int32_t start, int32_t stride) {
        device.SetSysXChanOfs(2);
        device.SetSysXChanMax(31);
        data.DeviceId = 0x10;
        TemplateExtensions x;
        x.addressOfs = 5;
        x.addressBytes = 3;
        x.addressStart = start;
        x.addressIncDec = stride;
        x.requestCSumType = kChecksumTwosComplement;
        x.requestCSumStart = 5;
        x.requestCSumFromEnd = 2;
        patch->SetExtensions(x);
    }

    VirtualClock clock;
    RecordingMidiOut out;
    DRUVDevice device;
    DRUVData data;
    TransferState state;
    DRUVTemplate* patch;
};

TEST_F(TemplateMessagesTest, JD800SinglePatchRequestsCarryAddressAndChecksum) {
    RolandPatchRequests(RolandAddress(5, 0, 0), 0x180);
    const char* request = "F0 41 00 3D 11 00 00 00 00 03 00 00 F7";
    EXPECT_EQ((Bytes{0xF0, 0x41, 0x10, 0x3D, 0x11, 0x05, 0x00, 0x00, 0x00, 0x03, 0x00, 0x78, 0xF7}), Sent(request, 0));
    EXPECT_EQ((Bytes{0xF0, 0x41, 0x10, 0x3D, 0x11, 0x05, 0x03, 0x00, 0x00, 0x03, 0x00, 0x75, 0xF7}), Sent(request, 1));
}

TEST_F(TemplateMessagesTest, D50PatchRequestsStrideAcrossThreeAddressBytes) {
    RolandPatchRequests(RolandAddress(2, 0, 0), 0x1C0);
    device.SetSysXChanMax(15);
    data.DeviceId = 0;
    const char* request = "F0 41 00 14 11 00 00 00 00 03 40 00 F7";
    EXPECT_EQ((Bytes{0xF0, 0x41, 0x00, 0x14, 0x11, 0x02, 0x03, 0x40, 0x00, 0x03, 0x40, 0x78, 0xF7}), Sent(request, 1));
    Bytes last = Sent(request, 63);
    EXPECT_EQ((Bytes{0x03, 0x5C, 0x40}), Bytes(last.begin() + 5, last.begin() + 8));
}

TEST_F(TemplateMessagesTest, RequestRuleAppliesToRequestsAndTheDumpRuleOtherwise) {
    // The dump's rule sums bytes 3 and 4 into 6; the request's own rule is
    // the two's complement of bytes 3 to 5 stored at 7.
    patch->SetCSumType(kChecksumSum);
    patch->SetCSumStart(3);
    patch->SetCSumLength(2);
    patch->SetCSumOfs(6);
    const char* request = "F0 7D 00 10 20 30 00 00 F7";
    EXPECT_EQ((Bytes{0xF0, 0x7D, 0x00, 0x10, 0x20, 0x30, 0x30, 0x00, 0xF7}), Sent(request)) << "the dump's rule";

    TemplateExtensions x;
    x.requestCSumType = kChecksumTwosComplement;
    x.requestCSumStart = 3;
    x.requestCSumLength = 3;
    x.requestCSumOfs = 7;
    patch->SetExtensions(x);
    EXPECT_EQ((Bytes{0xF0, 0x7D, 0x00, 0x10, 0x20, 0x30, 0x00, 0x20, 0xF7}), Sent(request)) << "the request's rule";
}

TEST_F(TemplateMessagesTest, ChecksumCoversDeviceIdLoopOuterValueAndAddress) {
    // Device ID at 2, F1 at 3, the outer value at 4, a one-byte address at
    // 5, and a sum of bytes 2 to 5 at 6: every value is in before the sum.
    device.SetSysXChanOfs(2);
    data.DeviceId = 3;
    patch->SetNumLoops(2);
    patch->SetLoopStart(0x10);
    TemplateExtensions x;
    x.outerLoopCount = 3;
    x.outerLoopStart = 0x20;
    x.outerLoopOfs = 4;
    x.addressOfs = 5;
    x.addressBytes = 1;
    x.addressStart = 0x40;
    x.addressIncDec = 2;
    x.requestCSumType = kChecksumSum;
    x.requestCSumStart = 2;
    x.requestCSumFromEnd = 2;
    patch->SetExtensions(x);
    // Loop 3 of 6: the second outer value, the inner loop started again.
    Bytes sent = Sent("F0 7D 00 F1 00 00 00 F7", 3);
    EXPECT_EQ((Bytes{0xF0, 0x7D, 0x03, 0x11, 0x21, 0x46, 0x7B, 0xF7}), sent);
}

TEST_F(TemplateMessagesTest, ReplayedDumpKeepsItsAddressAndTakesTheDumpRule) {
    RolandPatchRequests(RolandAddress(5, 0, 0), 0x180);
    patch->SetCSumType(kChecksumTwosComplement);
    patch->SetCSumStart(5);
    patch->SetCSumLength(4);
    patch->SetCSumOfs(9);
    StartItemLoops(state, *patch);
    const Bytes stored{0xF0, 0x41, 0x00, 0x3D, 0x12, 0x05, 0x03, 0x00, 0x11, 0x00, 0xF7};
    std::unique_ptr<uint8_t[]> replay = PreparedSysXCopy(Context(), patch, SysXSource::StoredDump, stored.data(),
                                                         static_cast<uint32_t>(stored.size()));
    ASSERT_TRUE(replay);
    // The address of the instrument's own dump stays; 05 03 00 11 sum to 19h.
    EXPECT_EQ((Bytes{0xF0, 0x41, 0x10, 0x3D, 0x12, 0x05, 0x03, 0x00, 0x11, 0x67, 0xF7}),
              Bytes(replay.get(), replay.get() + stored.size()));
}

TEST_F(TemplateMessagesTest, OuterValueOnlyWithAnOuterLoop) {
    TemplateExtensions x;
    x.outerLoopStart = 0x22;
    x.outerLoopOfs = 3;
    patch->SetExtensions(x);
    EXPECT_EQ((Bytes{0xF0, 0x7D, 0x00, 0x55, 0xF7}), Sent("F0 7D 00 55 F7"));
    x.outerLoopCount = 1;
    patch->SetExtensions(x);
    EXPECT_EQ((Bytes{0xF0, 0x7D, 0x00, 0x22, 0xF7}), Sent("F0 7D 00 55 F7"));
}

}  // namespace
