// The input handlers on their own: terminator patterns and their classes,
// what an open loop window takes, and the detection probe's reply flag.
#include <gtest/gtest.h>

#include "plugin/engine/receive_window.h"
#include "plugin/engine/terminator_match.h"
#include "transfer_test_support.h"

namespace {

class InputHandlersTest : public TransferTest {
protected:
    InputHandlersTest() { bank = AddTemplate("Bank", 100); }

    bool Matches(const char* pattern, int store, const Bytes& message, bool sysx) {
        bank->SetTerminator(pattern);
        bank->SetStoreTerminator(store);
        state.terminator_seen = false;
        const uint8_t* bytes = sysx ? message.data() + 1 : message.data();
        uint32_t count = static_cast<uint32_t>(sysx ? message.size() - 1 : message.size());
        bool matched = MatchTerminator(state, *bank, store != 0, bytes, count, sysx);
        EXPECT_EQ(matched, state.terminator_seen.load()) << "the flag follows the match";
        return matched;
    }

    // A loop window over `buffer` with `space` bytes to fill.
    void OpenWindow(uint8_t* buffer, uint32_t space) {
        state.write_position = buffer;
        OpenReceiveWindow(state, *bank, space);
    }

    DRUVTemplate* bank;
};

TEST_F(InputHandlersTest, TerminatorMatchesTheStartOfAMessageByteForByte) {
    EXPECT_TRUE(Matches("F0 7D 01", 0, {0xF0, 0x7D, 0x01, 0x22, 0xF7}, true));
    EXPECT_FALSE(Matches("F0 7D 01", 0, {0xF0, 0x7D, 0x02, 0x22, 0xF7}, true));
    EXPECT_FALSE(Matches("F0 7D 01", 0, {0x7D, 0x01, 0x22}, false)) << "only a SysX message lacks its F0";
    EXPECT_FALSE(Matches("F0 7D 01 22 F7 00", 0, {0xF0, 0x7D, 0x01, 0x22, 0xF7}, true)) << "longer than the message";
    EXPECT_FALSE(Matches("F0", 0, {0xF0, 0x7D, 0xF7}, true)) << "nothing to compare after F0";
    EXPECT_FALSE(Matches("", 0, {0xF0, 0x7D, 0xF7}, true));
}

TEST_F(InputHandlersTest, TerminatorIsLookedForOnlyWithItsOwnStoreFlag) {
    bank->SetTerminator("B0 07");
    bank->SetStoreTerminator(1);
    const uint8_t control[3] = {0xB0, 0x07, 0x10};
    EXPECT_FALSE(MatchTerminator(state, *bank, false, control, 3, false));
    EXPECT_TRUE(MatchTerminator(state, *bank, true, control, 3, false));
    bank->SetStoreTerminator(2);
    EXPECT_FALSE(MatchTerminator(state, *bank, true, control, 3, false)) << "neither 0 nor 1 never matches";
}

TEST_F(InputHandlersTest, PatternBytesF8ToFFMatchClassesOfBytes) {
    struct Case {
        const char* pattern;
        uint8_t in;
        uint8_t out;
    };
    const Case cases[] = {{"F8", 0x80, 0xA0}, {"F8", 0x9F, 0x7F}, {"F9", 0xA5, 0xB0}, {"FA", 0xB3, 0xC0},
                          {"FB", 0xC0, 0xBF}, {"FC", 0xDF, 0xE0}, {"FD", 0xE0, 0xDF}, {"FE", 0xEF, 0xF0},
                          {"FE", 0x80, 0x7F}};
    for (const Case& c : cases) {
        EXPECT_TRUE(Matches(c.pattern, 0, {c.in, 0x01, 0x02}, false)) << c.pattern << " " << int{c.in};
        EXPECT_FALSE(Matches(c.pattern, 0, {c.out, 0x01, 0x02}, false)) << c.pattern << " " << int{c.out};
    }
    EXPECT_TRUE(Matches("F8 3C", 0, {0x90, 0x3C, 0x40}, false)) << "note on as well as note off";
    EXPECT_TRUE(Matches("FF FF 40", 0, {0xE5, 0x00, 0x40}, false));
    EXPECT_FALSE(Matches("FA 07 FF", 0, {0xC2, 0x07, 0x00}, false));
}

// Each class reaches up to channel 16 of its last kind, and not one status
// further: the last byte that belongs and the first byte after the class.
TEST_F(InputHandlersTest, PatternClassesEndAtChannelSixteenOfTheirLastKind) {
    struct Case {
        const char* pattern;
        uint8_t last;
        uint8_t beyond;
    };
    const Case cases[] = {{"F8", 0x8F, 0xA0}, {"F8", 0x9F, 0xA0}, {"F9", 0xAF, 0xB0}, {"FA", 0xBF, 0xC0},
                          {"FB", 0xCF, 0xD0}, {"FC", 0xDF, 0xE0}, {"FD", 0xEF, 0xF0}, {"FE", 0xEF, 0xF0}};
    for (const Case& c : cases) {
        EXPECT_TRUE(Matches(c.pattern, 0, {c.last, 0x01, 0x02}, false))
            << c.pattern << " against " << std::hex << int{c.last};
        EXPECT_FALSE(Matches(c.pattern, 0, {c.beyond, 0x01, 0x02}, false))
            << c.pattern << " against " << std::hex << int{c.beyond};
    }
}

TEST_F(InputHandlersTest, NothingIsStoredWhileNoWindowIsOpen) {
    uint8_t buffer[16] = {};
    state.write_position = buffer;
    state.space_left = 16;
    Reply(SysX(5));
    EXPECT_EQ(0, buffer[0]);
    EXPECT_FALSE(state.data_received.load());
}

TEST_F(InputHandlersTest, AfterAnOverrunNothingIsStoredUntilTheNextLoop) {
    uint8_t buffer[32] = {};
    OpenWindow(buffer, 11);
    Reply(SysX(11));
    EXPECT_EQ(kReceiveOverrun, state.space_left.load());
    EXPECT_TRUE(state.data_received.load());
    Reply(SysX(3));
    ReplyShort(0xC0, 1, 0);
    EXPECT_EQ(0, buffer[0]);
    EXPECT_EQ(0, state.bytes_received.load());

    OpenWindow(buffer, 11);
    Reply(SysX(10));
    EXPECT_EQ(10, state.bytes_received.load());
    EXPECT_EQ(1u, state.space_left.load()) << "the marker's byte stays free";
    EXPECT_EQ(buffer + 10, state.write_position.load());
}

TEST_F(InputHandlersTest, ChannelMessageNeedsNoMoreSpaceThanItsSizeAndNeverOverruns) {
    bank->SetUseMidiChannel(1);
    uint8_t buffer[8] = {};
    OpenWindow(buffer, 5);
    ReplyShort(0x91, 0x3C, 0x40);
    ReplyShort(0xD1, 0x20, 0x00);
    EXPECT_EQ(0u, state.space_left.load());
    ReplyShort(0xC1, 0x01, 0x00);
    Reply(SysX(3));
    EXPECT_EQ((Bytes{0x91, 0x3C, 0x40, 0xD1, 0x20, 0x00}), Bytes(buffer, buffer + 6));
    EXPECT_EQ(5, state.bytes_received.load());
}

TEST_F(InputHandlersTest, WhileDetectingAnySysXIsAReplyAndNothingIsStored) {
    uint8_t buffer[32] = {};
    OpenWindow(buffer, 20);
    state.activity = Activity::Detecting;
    Reply(SysX(4), true);
    EXPECT_TRUE(state.reply_seen.load());
    state.reply_seen = false;
    Reply(SysX(4));
    EXPECT_TRUE(state.reply_seen.load());
    EXPECT_EQ(0, buffer[0]);
    OnSysX(state, false, nullptr, 4);  // absent bytes are no reply
}

TEST_F(InputHandlersTest, LoopSpaceKeepsDataAndMarkerInsideTheBuffer) {
    uint8_t buffer[10] = {};
    EXPECT_EQ(5u, LoopSpace(5, buffer, buffer + 10));
    EXPECT_EQ(9u, LoopSpace(50, buffer, buffer + 10));
    EXPECT_EQ(1u, LoopSpace(50, buffer + 9, buffer + 10)) << "room for the marker only: any message overruns";
    EXPECT_EQ(0u, LoopSpace(50, buffer + 10, buffer + 10));
    EXPECT_EQ(0u, LoopSpace(0, buffer, buffer + 10));
    EXPECT_EQ(0u, LoopSpace(-4, buffer, buffer + 10));
}

}  // namespace

// What the filter object starts with: no output, no open window, nothing
// counted, no flag raised.
TEST(TransferStateTest, NewStateIsCleared) {
    TransferState state;
    EXPECT_EQ(nullptr, state.host_link);
    EXPECT_EQ(nullptr, state.current_template.load());
    EXPECT_EQ(nullptr, state.write_position.load());
    EXPECT_EQ(0, state.bytes_received.load());
    EXPECT_FALSE(state.abort.load());
    EXPECT_FALSE(state.terminator_seen.load());
    EXPECT_EQ(Activity::Idle, state.activity.load());
    EXPECT_FALSE(state.reply_seen.load());
    EXPECT_EQ(0u, state.detect_deadline);
}
