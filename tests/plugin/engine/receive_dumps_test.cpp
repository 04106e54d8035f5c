// Receiving dumps in virtual time: what a loop stores and when it ends, the
// error texts with their numbers, loops and their values, time-outs,
// terminators, and what a failure or an abort leaves behind.
#include <gtest/gtest.h>

#include <memory>

#include "plugin/engine/receive_loop.h"
#include "transfer_test_support.h"

namespace {

class ReceiveDumpsTest : public TransferTest {};

TEST_F(ReceiveDumpsTest, ReplyOfExactSizeIsStoredWithItsMarker) {
    AddTemplate("Patch", 10);
    Build();
    Bytes reply = SysX(10, 0x22);
    AnswerRequests({{reply}});

    ASSERT_TRUE(Receive());
    Bytes expected = reply;
    expected.push_back(0xFF);
    EXPECT_EQ(expected, Stored(0));
    EXPECT_EQ(11, data.Items[0]->Length.load());
    EXPECT_TRUE(data.Items[0]->HasData());
    ExpectReceiveStateCleared();
    EXPECT_EQ((Bytes{0xF0, 0x7D, 0x10, 0x01, 0xF7}), out.WireMessages().at(0));
}

TEST_F(ReceiveDumpsTest, ShortFixedLengthReplyFailsWithBothCounts) {
    AddTemplate("Patch", 10);
    Build();
    AnswerRequests({{SysX(8)}});

    EXPECT_FALSE(Receive());
    EXPECT_TRUE(ShowedText("Error, SysX missing bytes (recv=8 request=11). Cancelling..."));
    EXPECT_EQ(8u, sink.calls.back().done) << "shown with the bytes received";
    EXPECT_EQ(0, data.Items[0]->Length.load()) << "the failed loop is not counted";
    ExpectReceiveStateCleared();
}

TEST_F(ReceiveDumpsTest, WithoutFixedLengthAShortReplyEndsTheLoop) {
    AddTemplate("Patch", 10)->SetFixedLength(0);
    Build();
    Bytes reply = SysX(8, 0x33);
    AnswerRequests({{reply}});

    ASSERT_TRUE(Receive());
    reply.push_back(0xFF);
    EXPECT_EQ(reply, Stored(0));
    EXPECT_EQ(9, data.Items[0]->Length.load());
}

TEST_F(ReceiveDumpsTest, ReplyLongerThanTheLoopIsAnOverrunAndNothingOfItIsStored) {
    for (size_t size : {size_t{11}, size_t{5000}}) {
        SCOPED_TRACE(size);
        device.ClearTemplates();
        sink.calls.clear();
        AddTemplate("Patch", 10);
        Build();
        AnswerRequests({{SysX(size, 0x44)}});

        EXPECT_FALSE(Receive());
        EXPECT_TRUE(ShowedText("Error receiving SysX. Data Overrun. Cancelling operation."));
        const DumpItem& item = *data.Items[0];
        for (uint32_t i = 0; i < item.Capacity(); ++i) EXPECT_EQ(0, item.Data()[i]) << "byte " << i;
        ExpectReceiveStateCleared();
    }
}

TEST_F(ReceiveDumpsTest, NothingIsWrittenPastTheItemsCapacity) {
    // A buffer smaller than the template's loop (as a store may hold after
    // its buffer was replaced): a reply that fits the loop but not the buffer
    // is an overrun; one that fits both is stored with its marker.
    DRUVTemplate* patch = AddTemplate("Patch", 100);
    patch->SetFixedLength(0);
    Build();
    ASSERT_TRUE(data.Items[0]->Allocate(20));
    AnswerRequests({{SysX(19)}, {SysX(18, 0x55)}});

    EXPECT_FALSE(Receive());
    EXPECT_TRUE(ShowedText("Error receiving SysX. Data Overrun. Cancelling operation."));

    ASSERT_TRUE(Receive());
    Bytes expected = SysX(18, 0x55);
    expected.push_back(0xFF);
    EXPECT_EQ(expected, Stored(0));
}

TEST_F(ReceiveDumpsTest, MultiSysXLoopEndsWhenItsBytesReachTheSize) {
    AddTemplate("Bank", 20)->SetMultiSysX(1);
    Build();
    AnswerRequests({{SysX(10, 0x01), SysX(10, 0x02)}});

    ASSERT_TRUE(Receive());
    EXPECT_EQ(21, data.Items[0]->Length.load());
    Bytes expected = SysX(10, 0x01);
    Bytes second = SysX(10, 0x02);
    Append(expected, second);
    expected.push_back(0xFF);
    EXPECT_EQ(expected, Stored(0));
}

TEST_F(ReceiveDumpsTest, EachLoopRequestsWithItsLoopValueAndExpectsItsReceiveSize) {
    DRUVTemplate* patches = AddTemplate("Patches", 15);
    patches->SetNumLoops(3);
    patches->SetLoopRecvSize(5);
    patches->SetLoopStart(1);
    patches->SetLoopIncDec(2);
    patches->SetRequest("F0 7D 10 F1 F2 F7");
    Build();
    AnswerRequests({{SysX(5, 0x01)}, {SysX(5, 0x03)}, {SysX(5, 0x05)}});

    ASSERT_TRUE(Receive());
    std::vector<Bytes> sent = out.WireMessages();
    ASSERT_EQ(3u, sent.size());
    for (size_t loop = 0; loop < 3; ++loop) {
        uint8_t value = static_cast<uint8_t>(1 + 2 * loop);
        EXPECT_EQ((Bytes{0xF0, 0x7D, 0x10, value, 0x00, 0xF7}), sent[loop]) << "loop " << loop;
    }
    Bytes expected;
    for (uint8_t fill : {0x01, 0x03, 0x05}) {
        Bytes reply = SysX(5, fill);
        Append(expected, reply);
        expected.push_back(0xFF);
    }
    EXPECT_EQ(expected, Stored(0));
    EXPECT_EQ(7, state.loop_value) << "stepped after each loop";
}

TEST_F(ReceiveDumpsTest, TimeOutWindowsFollowRequestAndReplySizes) {
    DRUVTemplate* small = AddTemplate("Small", 100);
    small->SetRequest("F0 7D 10 01 02 03 04 F7");
    EXPECT_EQ(70u, LoopTimeOutWindow(*small, 1));
    small->SetSize(1000);
    EXPECT_EQ(646u, LoopTimeOutWindow(*small, 1));
    small->SetNumLoops(4);
    small->SetLoopRecvSize(64);
    EXPECT_EQ(46u, LoopTimeOutWindow(*small, 4));
}

// The loop of a silent instrument ends at the first pass after its deadline,
// not at a pass exactly on it: the clock is set to the deadline for the first
// pass and one past it for the second.
TEST_F(ReceiveDumpsTest, SilentLoopEndsAtTheFirstPassPastItsDeadline) {
    DRUVTemplate* patch = AddTemplate("Patch", 100);
    patch->SetRequest("F0 7D 10 01 02 03 04 F7");
    patch->SetTimeOut(1);
    Build();
    int passes = 0;
    uint32_t loopStart = 0;
    out.SetAnswer([&](const SentEvent&) { loopStart = sink.calls.back().tick; });
    clock.SetSleepHook([&](uint32_t milliseconds) {
        if (milliseconds != kReceivePassMilliseconds) return;
        ++passes;
        clock.SetTick(loopStart + 70 + (passes > 1 ? 1 : 0));
    });

    ASSERT_TRUE(Receive());
    EXPECT_EQ(2, passes);
    EXPECT_EQ(Bytes{0xFF}, Stored(0)) << "a lone marker";
    EXPECT_FALSE(data.Items[0]->HasData());
}

TEST_F(ReceiveDumpsTest, EverySilentLoopEndsWithALoneMarker) {
    DRUVTemplate* patches = AddTemplate("Patches", 20);
    patches->SetNumLoops(4);
    patches->SetLoopRecvSize(5);
    patches->SetTimeOut(1);
    Build();

    ASSERT_TRUE(Receive());
    EXPECT_EQ((Bytes{0xFF, 0xFF, 0xFF, 0xFF}), Stored(0));
    EXPECT_FALSE(data.Items[0]->HasData());
}

TEST_F(ReceiveDumpsTest, ReplyStoredBeforeTheDeadlineIsKeptWhenThePassComesAfterIt) {
    // The request's own delay (50 ms) and the first 30-ms pass end after the
    // 70-ms window; the reply arrived long before that.
    DRUVTemplate* patch = AddTemplate("Patch", 100);
    patch->SetRequest("F0 7D 10 01 02 03 04 F7");
    patch->SetTimeOut(1);
    patch->SetDelayBetweenSysX(50);
    Build();
    Bytes reply = SysX(100, 0x12);
    AnswerRequests({{reply}});

    ASSERT_TRUE(Receive());
    reply.push_back(0xFF);
    EXPECT_EQ(reply, Stored(0));
}

TEST_F(ReceiveDumpsTest, ManualDumpWaitsPastAnyWindowForTheFirstReply) {
    DRUVTemplate* manual = AddTemplate("Manual", 10);
    manual->SetRequest("");
    manual->SetTimeOut(1);
    Build();
    int passes = 0;
    clock.SetSleepHook([&](uint32_t milliseconds) {
        if (milliseconds == kReceivePassMilliseconds && ++passes == 200) Reply(SysX(10, 0x66));
    });

    ASSERT_TRUE(Receive());
    EXPECT_EQ(200, passes) << "six seconds without a time-out";
    EXPECT_EQ(11, data.Items[0]->Length.load());
    std::vector<std::string> texts = Texts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ("MANUAL DUMP! Trigger the dump when \"WAITING FOR MANUAL DUMP\" appears...", texts[0]);
    EXPECT_EQ("WAITING FOR Manual MANUAL DUMP...", texts[1]);
}

TEST_F(ReceiveDumpsTest, InputOutsideTheLoopsIsNotStored) {
    // The first item's loop times out with space left; the second item's
    // instrument chatters during its pre-request and the pause after it.
    AddTemplate("First", 50)->SetTimeOut(1);
    DRUVTemplate* second = AddTemplate("Second", 10);
    second->SetPreRequest("F0 7D 10 09 F7");
    Build();
    int sent = 0;
    out.SetAnswer([&](const SentEvent&) {
        ++sent;
        if (sent == 2) Reply(SysX(6, 0x77));   // answer to the pre-request
        if (sent == 3) Reply(SysX(10, 0x21));  // answer to the request
    });
    clock.SetSleepHook([&](uint32_t) {
        if (sent != 2) return;
        ReplyShort(0xB0, 1, 2);  // during the pause
        Reply(SysX(4, 0x78));
    });

    ASSERT_TRUE(Receive());
    EXPECT_EQ(Bytes{0xFF}, Stored(0));
    Bytes expected = SysX(10, 0x21);
    expected.push_back(0xFF);
    EXPECT_EQ(expected, Stored(1));
    EXPECT_EQ(0x21, data.Items[1]->Data()[2]) << "the reply begins the buffer";
}

TEST_F(ReceiveDumpsTest, TerminatorEndsTheLoopStoredOrNot) {
    for (int store : {0, 1}) {
        SCOPED_TRACE(store);
        device.ClearTemplates();
        DRUVTemplate* bank = AddTemplate("Bank", 100);
        bank->SetMultiSysX(1);
        bank->SetTerminator("F0 7D 01");
        bank->SetStoreTerminator(store);
        Build();
        Bytes terminator{0xF0, 0x7D, 0x01, 0x00, 0xF7};
        AnswerRequests({{SysX(10, 0x31), terminator}});

        ASSERT_TRUE(Receive());
        Bytes expected = SysX(10, 0x31);
        if (store) Append(expected, terminator);
        expected.push_back(0xFF);
        EXPECT_EQ(expected, Stored(0));
    }
}

TEST_F(ReceiveDumpsTest, ChannelTerminatorMatchesByClassOnAnyChannel) {
    DRUVTemplate* bank = AddTemplate("Bank", 100);
    bank->SetMultiSysX(1);
    bank->SetUseMidiChannel(1);
    bank->SetTerminator("FA 07");
    Build();
    out.SetAnswer([&](const SentEvent&) {
        ReplyShort(0xB3, 0x08, 0x64);  // controller 8: stored
        ReplyShort(0xC2, 0x05, 0x00);  // program change: two bytes stored
        ReplyShort(0xB3, 0x07, 0x64);  // controller 7: ends the loop, not stored
    });

    ASSERT_TRUE(Receive());
    EXPECT_EQ((Bytes{0xB3, 0x08, 0x64, 0xC2, 0x05, 0xFF}), Stored(0));
}

TEST_F(ReceiveDumpsTest, ChannelMessagesAreIgnoredWithoutUseMidiChannel) {
    DRUVTemplate* bank = AddTemplate("Bank", 100);
    bank->SetMultiSysX(1);
    bank->SetTerminator("FA 07");
    bank->SetTimeOut(1);
    Build();
    out.SetAnswer([&](const SentEvent&) {
        ReplyShort(0xB0, 0x08, 0x01);
        ReplyShort(0xB0, 0x07, 0x01);
        Reply(SysX(10));
    });

    ASSERT_TRUE(Receive());
    Bytes expected = SysX(10);
    expected.push_back(0xFF);
    EXPECT_EQ(expected, Stored(0)) << "ended by the time-out, not the controller";
}

TEST_F(ReceiveDumpsTest, SecondKindOfSysXIsIgnored) {
    AddTemplate("Patch", 10)->SetTimeOut(1);
    Build();
    out.SetAnswer([&](const SentEvent&) { Reply(SysX(10), true); });

    ASSERT_TRUE(Receive());
    EXPECT_EQ(Bytes{0xFF}, Stored(0));
}

TEST_F(ReceiveDumpsTest, MissingPortsAreReportedAndNothingIsSent) {
    AddTemplate("Patch", 10);
    Build();
    data.OutPort = 0;
    EXPECT_FALSE(Receive());
    data.OutPort = 1;
    data.InPort = 0;
    EXPECT_FALSE(Receive());

    EXPECT_TRUE(out.Sent().empty());
    std::vector<std::string> expected{"Error! No MIDI OUT port assigned", "RECEIVING , 10 of 10 bytes",
                                      "Error! No MIDI IN port assigned", "RECEIVING , 10 of 10 bytes"};
    EXPECT_EQ(expected, Texts());
    EXPECT_EQ(0u, sink.calls[0].done);
    EXPECT_EQ(10u, sink.calls[0].total);
    EXPECT_EQ(10u, sink.calls[1].done);
}

TEST_F(ReceiveDumpsTest, ProgressCountsExpectedSizesAgainstTheCapacities) {
    AddTemplate("Patch", 10);
    Build();
    AnswerRequests({{SysX(10)}});

    ASSERT_TRUE(Receive());
    std::vector<std::string> expected{"RECEIVING Patch, 0 of 12 bytes", "RECEIVING Patch, 10 of 12 bytes"};
    EXPECT_EQ(expected, Texts());
}

TEST_F(ReceiveDumpsTest, AbortKeepsCompletedWorkAndClearsTheReceiveState) {
    // Three items: the first completes, the second is aborted in its third
    // loop, the third is never reached.
    AddTemplate("First", 10);
    DRUVTemplate* second = AddTemplate("Second", 15);
    second->SetNumLoops(3);
    second->SetLoopRecvSize(5);
    AddTemplate("Third", 10);
    Build();
    data.Items[2]->Data()[0] = 0x42;
    data.Items[2]->Length = 1;
    int requests = 0;
    out.SetAnswer([&](const SentEvent&) {
        ++requests;
        if (requests == 1)
            Reply(SysX(10));
        else if (requests <= 3)
            Reply(SysX(5));
        else
            state.abort = true;
    });

    EXPECT_FALSE(Receive());
    EXPECT_EQ(11, data.Items[0]->Length.load());
    EXPECT_EQ(12, data.Items[1]->Length.load()) << "two completed loops";
    EXPECT_EQ(1, data.Items[2]->Length.load());
    EXPECT_EQ(0x42, data.Items[2]->Data()[0]);
    EXPECT_TRUE(state.abort.load()) << "the caller clears it";
    EXPECT_EQ(2, state.loop_value) << "left as it was";
    ExpectReceiveStateCleared();
}

}  // namespace
