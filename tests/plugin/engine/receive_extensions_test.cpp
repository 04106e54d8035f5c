// Receiving with the definition format's extensions, in virtual time: nested
// loops, replies of unknown length, ends by a count of messages or a quiet
// gap, and checksums checked as loops end.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "plugin/engine/receive_loop.h"
#include "plugin/engine/template_checksums.h"
#include "transfer_test_support.h"

namespace {

class ReceiveExtensionsTest : public TransferTest {
protected:
    void SetExtensions(DRUVTemplate* target, const std::function<void(TemplateExtensions&)>& change) {
        TemplateExtensions x = target->Extensions();
        change(x);
        target->SetExtensions(x);
    }

    // A SysX message of `size` bytes whose byte 3 is `first`, its data bytes
    // `fill` and the byte before F7 the sum of bytes 3 to the one before it.
    static Bytes Summed(size_t size, uint8_t first, uint8_t fill) {
        Bytes message = SysX(size, fill);
        message[3] = first;
        ChecksumRule rule{kChecksumSum, 3, 0, 0, 2};
        EXPECT_TRUE(ApplyChecksum(rule, message.data(), static_cast<uint32_t>(message.size())));
        return message;
    }

    // Every SysX message sent, as it went on the wire.
    std::vector<Bytes> Requests() const {
        std::vector<Bytes> requests;
        for (const SentEvent& sent : out.Sent())
            if (sent.IsSysX()) requests.push_back(sent.WireBytes());
        return requests;
    }

    // Something that happens at a tick of the receive: a message arrives,
    // or (without one) a pass of the receive looks exactly then.
    struct Event {
        uint32_t tick;
        Bytes message;
        bool done = false;
    };
    // Plays `events` in order: when a pass would sleep past an event's
    // tick, the clock stops there and the event happens. A receive still
    // running a minute later is cancelled, so that a loop that never ends
    // fails the test instead of hanging it.
    void Play(std::vector<Event>& events) {
        clock.SetSleepHook([this, &events](uint32_t) {
            uint32_t now = clock.TickCount();
            if (TickIsAfter(now, 60000)) state.abort = true;
            for (Event& event : events) {
                if (event.done) continue;
                if (TickIsAfter(event.tick, now + kReceivePassMilliseconds)) return;
                if (TickIsAfter(event.tick, now)) clock.Advance(event.tick - now);
                event.done = true;
                if (!event.message.empty()) Reply(event.message);
                return;
            }
        });
    }
};

TEST_F(ReceiveExtensionsTest, NestedLoopsAskForEveryProgramOfEveryBankInOrder) {
    // Three programs in each of two banks: the program in F1, the bank at 4.
    DRUVTemplate* banks = AddTemplate("Banks", 36);
    banks->SetRequest("F0 7D 10 F1 00 F7");
    banks->SetNumLoops(3);
    banks->SetLoopRecvSize(6);
    SetExtensions(banks, [](TemplateExtensions& x) {
        x.outerLoopCount = 2;
        x.outerLoopStart = 5;
        x.outerLoopOfs = 4;
    });
    Build();
    ASSERT_EQ(48u, data.Items[0]->Capacity()) << "six loops of six bytes, each with its marker and a spare";
    std::vector<std::vector<Bytes>> replies;
    Bytes expected;
    for (uint8_t loop = 0; loop < 6; ++loop) {
        replies.push_back({SysX(6, static_cast<uint8_t>(0x20 + loop))});
        Append(expected, replies.back()[0]);
        expected.push_back(0xFF);
    }
    AnswerRequests(replies);

    ASSERT_TRUE(Receive());
    std::vector<Bytes> sent{{0xF0, 0x7D, 0x10, 0x00, 0x05, 0xF7}, {0xF0, 0x7D, 0x10, 0x01, 0x05, 0xF7},
                            {0xF0, 0x7D, 0x10, 0x02, 0x05, 0xF7}, {0xF0, 0x7D, 0x10, 0x00, 0x06, 0xF7},
                            {0xF0, 0x7D, 0x10, 0x01, 0x06, 0xF7}, {0xF0, 0x7D, 0x10, 0x02, 0x06, 0xF7}};
    EXPECT_EQ(sent, Requests()) << "the last loop is the last program of the last bank, and no loop follows";
    EXPECT_EQ(expected, Stored(0));
    EXPECT_EQ(42, data.Items[0]->Length.load());
    EXPECT_TRUE(ShowedText("RECEIVING Banks, 35 of 48 bytes")) << "each loop counts its expected size";
}

TEST_F(ReceiveExtensionsTest, CapacityCountsEveryLoopOfEveryOuterLoop) {
    DRUVTemplate* banks = AddTemplate("Banks", 100);
    banks->SetNumLoops(8);
    banks->SetLoopRecvSize(20);
    SetExtensions(banks, [](TemplateExtensions& x) { x.outerLoopCount = 4; });
    EXPECT_EQ(32 * 22u, DumpCapacityFor(*banks));
    SetExtensions(banks, [](TemplateExtensions& x) { x.outerLoopCount = 1 << 30; });
    EXPECT_EQ(0u, DumpCapacityFor(*banks)) << "more loops than any buffer holds";
}

TEST_F(ReceiveExtensionsTest, ReplyOfUnknownLengthEndsAtItsF7) {
    DRUVTemplate* singles = AddTemplate("Singles", 200);
    singles->SetNumLoops(3);
    singles->SetLoopRecvSize(100);
    singles->SetRequest("F0 7D 10 F1 F7");
    singles->SetMultiSysX(1);  // changes nothing: one message per loop
    SetExtensions(singles, [](TemplateExtensions& x) { x.unknownLength = 1; });
    Build();
    // Loop 2 first gets a piece without an F7, and its whole message 90 ms
    // later: the loop waits for it.
    const Bytes piece{0xF0, 0x7D, 0x21, 0x21};
    int requests = 0;
    out.SetAnswer([&](const SentEvent& sent) {
        if (!sent.IsSysX()) return;
        ++requests;
        if (requests == 1) Reply(SysX(20, 0x20));
        if (requests == 2) Reply(piece);
        if (requests == 3) Reply(SysX(100, 0x22));
    });
    std::vector<Event> events{{0, {}}};
    clock.SetSleepHook([&](uint32_t) {
        if (TickIsAfter(clock.TickCount(), 60000)) state.abort = true;  // a loop that never ends fails
        if (requests != 2 || events[0].done) return;
        if (events[0].tick == 0) events[0].tick = clock.TickCount() + 90;
        if (TickIsAfter(events[0].tick, clock.TickCount())) return;
        events[0].done = true;
        Reply(SysX(57, 0x21));
    });

    ASSERT_TRUE(Receive()) << (Texts().empty() ? "" : Texts().back());
    Bytes expected = SysX(20, 0x20);
    expected.push_back(0xFF);
    Append(expected, piece);
    Append(expected, SysX(57, 0x21));
    expected.push_back(0xFF);
    Append(expected, SysX(100, 0x22));
    expected.push_back(0xFF);
    EXPECT_EQ(expected, Stored(0)) << "the largest reply fills its loop exactly";
}

TEST_F(ReceiveExtensionsTest, ReplyOfUnknownLengthBeyondItsSizeIsAnOverrun) {
    DRUVTemplate* single = AddTemplate("Single", 100);
    SetExtensions(single, [](TemplateExtensions& x) { x.unknownLength = 1; });
    Build();
    AnswerRequests({{SysX(101, 0x22)}});

    EXPECT_FALSE(Receive());
    EXPECT_TRUE(ShowedText(kOverrunText));
    EXPECT_EQ(0, data.Items[0]->Length.load());
}

TEST_F(ReceiveExtensionsTest, ManualDumpEndsAfterItsCountOfMessages) {
    DRUVTemplate* bulk = AddTemplate("Bulk", 1000);
    bulk->SetRequest("");
    bulk->SetMultiSysX(1);
    SetExtensions(bulk, [](TemplateExtensions& x) { x.endAfterMessages = 3; });
    Build();
    std::vector<Event> events{{5000, SysX(10, 0x31)}, {5100, SysX(12, 0x32)}, {5200, SysX(8, 0x33)},
                              {5300, SysX(9, 0x34)}};
    Play(events);

    ASSERT_TRUE(Receive());
    Bytes expected = SysX(10, 0x31);
    Append(expected, SysX(12, 0x32));
    Append(expected, SysX(8, 0x33));
    expected.push_back(0xFF);
    EXPECT_EQ(expected, Stored(0));
    EXPECT_FALSE(events[3].done) << "the receive ended before the fourth message";
}

TEST_F(ReceiveExtensionsTest, RequestedLoopsEndAfterTheirCountOfMessages) {
    DRUVTemplate* parts = AddTemplate("Parts", 1000);
    parts->SetNumLoops(2);
    parts->SetLoopRecvSize(500);
    parts->SetMultiSysX(1);
    parts->SetTimeOut(1);  // 323 ms a loop, were the count not to end it
    SetExtensions(parts, [](TemplateExtensions& x) { x.endAfterMessages = 2; });
    Build();
    AnswerRequests({{SysX(10, 0x41), SysX(11, 0x42)}, {SysX(12, 0x43), SysX(13, 0x44)}});
    uint32_t start = clock.TickCount();

    ASSERT_TRUE(Receive());
    EXPECT_EQ(2 * 1 + 10 + 11 + 12 + 13, data.Items[0]->Length.load());
    EXPECT_LT(clock.TickCount() - start, 2u * kReceivePassMilliseconds + 10) << "each loop ended at its first pass";
}

// 200 ms without a byte end the dump: a pass exactly 199 ms after a message
// goes on waiting, one exactly 200 ms after it ends the receive.
TEST_F(ReceiveExtensionsTest, ManualDumpEndsOnAQuietGapAndNotOneMillisecondBefore) {
    DRUVTemplate* bulk = AddTemplate("Bulk", 1000);
    bulk->SetRequest("");
    bulk->SetMultiSysX(1);
    SetExtensions(bulk, [](TemplateExtensions& x) { x.endAfterQuiet = 200; });
    Build();
    std::vector<Event> events{{5000, SysX(10, 0x51)}, {5199, {}}, {5229, SysX(10, 0x52)},
                              {5428, {}},             {5458, SysX(10, 0x53)}, {5658, {}}};
    Play(events);

    ASSERT_TRUE(Receive());
    EXPECT_EQ(3 * 10 + 1, data.Items[0]->Length.load()) << "three messages and the marker";
    EXPECT_EQ(5658u, clock.TickCount()) << "the pass 200 ms after the last message ends it";
}

TEST_F(ReceiveExtensionsTest, QuietGapWaitsForTheFirstMessage) {
    DRUVTemplate* bulk = AddTemplate("Bulk", 1000);
    bulk->SetRequest("");
    bulk->SetMultiSysX(1);
    SetExtensions(bulk, [](TemplateExtensions& x) { x.endAfterQuiet = 100; });
    Build();
    std::vector<Event> events{{20000, SysX(10, 0x61)}};
    Play(events);

    ASSERT_TRUE(Receive());
    EXPECT_EQ(11, data.Items[0]->Length.load()) << "sixteen seconds of waiting were no gap";
}

class VerifiedReceiveTest : public ReceiveExtensionsTest {
protected:
    // Three loops of twelve bytes, checked by the sum of bytes 3 to 9 at 10.
    DRUVTemplate* AddVerified(int32_t innerLoops, int32_t outerLoops) {
        DRUVTemplate* patches = AddTemplate("Patches", 12 * innerLoops * std::max(outerLoops, 1));
        patches->SetNumLoops(innerLoops);
        patches->SetLoopRecvSize(12);
        patches->SetCSumType(kChecksumSum);
        patches->SetCSumStart(3);
        SetExtensions(patches, [outerLoops](TemplateExtensions& x) {
            x.csumFromEnd = 2;
            x.csumVerify = 1;
            x.outerLoopCount = outerLoops;
        });
        return patches;
    }

    static Bytes Corrupt(Bytes message) {
        message[5] ^= 0x01;
        return message;
    }

    // What the item held before the receive.
    void GiveOlderDump(const Bytes& older) {
        DumpItem& item = *data.Items[0];
        std::copy(older.begin(), older.end(), item.Data());
        item.Length = static_cast<int32_t>(older.size());
    }
};

TEST_F(VerifiedReceiveTest, MismatchEndsTheItemNamingTheLoopAndKeepsTheOlderDump) {
    AddVerified(3, 0);
    Build();
    Bytes older = Summed(12, 0x70, 0x07);
    older.push_back(0xFF);
    GiveOlderDump(older);
    AnswerRequests({{Summed(12, 1, 0x11)}, {Summed(12, 2, 0x12)}, {Corrupt(Summed(12, 3, 0x13))}});

    EXPECT_FALSE(Receive());
    EXPECT_TRUE(ShowedText("Error: checksum of loop 3 does not match")) << "last text: " << Texts().back();
    EXPECT_EQ(older, Stored(0));
    ExpectReceiveStateCleared();
}

TEST_F(VerifiedReceiveTest, MismatchWithoutAnOlderDumpKeepsTheLoopsBeforeIt) {
    AddVerified(3, 0);
    Build();
    AnswerRequests({{Summed(12, 1, 0x11)}, {Corrupt(Summed(12, 2, 0x12))}, {Summed(12, 3, 0x13)}});

    EXPECT_FALSE(Receive());
    EXPECT_TRUE(ShowedText("Error: checksum of loop 2 does not match"));
    Bytes first = Summed(12, 1, 0x11);
    first.push_back(0xFF);
    EXPECT_EQ(first, Stored(0)) << "the loop that failed is not counted";
    EXPECT_EQ(2u, out.Sent().size()) << "no request after the failed loop";
}

TEST_F(VerifiedReceiveTest, LoopNumberCountsEveryLoopOfTheNestedItem) {
    AddVerified(2, 2);
    Build();
    AnswerRequests({{Summed(12, 1, 0x11)}, {Summed(12, 2, 0x12)}, {Summed(12, 3, 0x13)},
                    {Corrupt(Summed(12, 4, 0x14))}});

    EXPECT_FALSE(Receive());
    EXPECT_TRUE(ShowedText("Error: checksum of loop 4 does not match"));
}

TEST_F(VerifiedReceiveTest, OnlyMessagesTheRuleFitsAreChecked) {
    // The loops' replies: a whole message, then a short one that holds no
    // byte of the range (the rule has no place in it), then two whole ones.
    DRUVTemplate* patches = AddVerified(2, 0);
    patches->SetMultiSysX(1);
    patches->SetLoopRecvSize(18);
    Build();
    Bytes shortOne{0xF0, 0x7D, 0x10, 0x44, 0xF7};
    AnswerRequests({{Summed(13, 1, 0x21), shortOne}, {Summed(9, 2, 0x22), Summed(9, 3, 0x23)}});

    EXPECT_TRUE(Receive()) << (Texts().empty() ? "" : Texts().back());
    EXPECT_EQ(13 + 5 + 1 + 9 + 9 + 1, data.Items[0]->Length.load());
}

TEST_F(VerifiedReceiveTest, WithoutVerifyAMismatchIsStoredAsItCame) {
    DRUVTemplate* patches = AddVerified(1, 0);
    SetExtensions(patches, [](TemplateExtensions& x) { x.csumVerify = 0; });
    Build();
    Bytes corrupt = Corrupt(Summed(12, 1, 0x11));
    AnswerRequests({{corrupt}});

    ASSERT_TRUE(Receive());
    corrupt.push_back(0xFF);
    EXPECT_EQ(corrupt, Stored(0));
}

TEST_F(VerifiedReceiveTest, FirstFormatDefinitionChecksNothingItsTypeDidNotMean) {
    // Type 4 meant no checksum in the first format: nothing is checked.
    DRUVTemplate* patches = AddVerified(1, 0);
    patches->SetCSumType(kChecksumSumPlusConstant);
    device.SetFormatVersion(1);
    Build();
    AnswerRequests({{Corrupt(Summed(12, 1, 0x11))}});

    EXPECT_TRUE(Receive());
}

}  // namespace
