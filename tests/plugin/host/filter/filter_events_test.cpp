// Incoming events: the type table and the walk over the host's event list.
#include <gtest/gtest.h>

#include <vector>

#include "plugin/engine/transfer_state.h"
#include "plugin/host/filter_events.h"
#include "druvhost/host/host_event_list.h"

namespace {

MPEvent ChannelEvent(uint32_t type, uint32_t channel, uint8_t data1, uint8_t data2) {
    MPEvent event{};
    event.Type = type;
    event.Port = 5;
    event.Channel = channel;
    event.Data.Short[0] = data1;
    event.Data.Short[1] = data2;
    return event;
}

TEST(TranslateEventTest, ChannelKindsBecomeStatusAndDataBytes) {
    struct Case {
        uint32_t type;
        uint32_t packed;
    };
    // Channel 3, data 0x12 and 0x34; the one-byte kinds drop data 2.
    const Case cases[] = {
        {MP_EVENT_NOTE_OFF, 0x341283},       {MP_EVENT_NOTE_ON, 0x341293},
        {MP_EVENT_KEY_PRESSURE, 0x3412A3},   {MP_EVENT_CONTROL_CHANGE, 0x3412B3},
        {MP_EVENT_PROGRAM_CHANGE, 0x0012C3}, {MP_EVENT_CHANNEL_PRESSURE, 0x0012D3},
        {MP_EVENT_PITCH_BEND, 0x3412E3},
    };
    for (const Case& c : cases) {
        EngineInput input = TranslateEvent(ChannelEvent(c.type, 3, 0x12, 0x34));
        EXPECT_EQ(EngineInput::Kind::ShortMessage, input.kind) << std::hex << c.type;
        EXPECT_EQ(c.packed, input.packed) << std::hex << c.type;
    }
    // Only the channel's low nybble reaches the status byte.
    EXPECT_EQ(0x0201E0u, TranslateEvent(ChannelEvent(MP_EVENT_PITCH_BEND, 0x10, 1, 2)).packed);
}

TEST(TranslateEventTest, SysXKindsKeepTheirBytesAndOtherTypesAreIgnored) {
    uint8_t bytes[] = {0x7D, 0x01, 0xF7};
    MPEvent event{};
    event.Type = MP_EVENT_SYSX;
    event.Length = 3;
    event.Data.SysX = bytes;
    EngineInput input = TranslateEvent(event);
    EXPECT_EQ(EngineInput::Kind::SysX, input.kind);
    EXPECT_FALSE(input.secondKind);
    EXPECT_EQ(bytes, input.bytes);
    EXPECT_EQ(3u, input.count);

    event.Type = MP_EVENT_SYSX_SECOND_KIND;
    input = TranslateEvent(event);
    EXPECT_EQ(EngineInput::Kind::SysX, input.kind);
    EXPECT_TRUE(input.secondKind);

    event.Data.SysX = nullptr;
    EXPECT_EQ(EngineInput::Kind::Ignored, TranslateEvent(event).kind) << "a SysX without bytes";

    for (uint32_t type : {0u, 0x1u, 0x10u, 0x1000u, 0x40000u, 0x100000u, 0x30000u, 0x60u}) {
        EXPECT_EQ(EngineInput::Kind::Ignored, TranslateEvent(ChannelEvent(type, 0, 1, 2)).kind) << std::hex << type;
    }
}

// An event list that counts how the filter walks it.
class CountingList : public druvhost::HostEventList {
public:
    HRESULT STDMETHODCALLTYPE First(uintptr_t* position, MPEvent* event, uint32_t* value, uint32_t mask) override {
        ++firsts;
        masks.push_back(mask);
        return HostEventList::First(position, event, value, mask);
    }
    HRESULT STDMETHODCALLTYPE Next(uintptr_t* position, MPEvent* event, uint32_t* value, uint32_t mask) override {
        ++nexts;
        masks.push_back(mask);
        return HostEventList::Next(position, event, value, mask);
    }
    int firsts = 0;
    int nexts = 0;
    std::vector<uint32_t> masks;
};

TEST(DeliverEventsTest, WalksTheWholeListWithTheTypeMask) {
    TransferState state;
    CountingList list;
    const uint8_t note[] = {0x90, 60, 100};
    const uint8_t sysx[] = {0xF0, 0x7D, 0x01, 0xF7};
    list.AddMessage(7, note, sizeof(note));
    list.AddMessage(8, sysx, sizeof(sysx));
    list.AddMessage(7, sysx, sizeof(sysx));
    EXPECT_EQ(S_OK, DeliverEvents(&list, state, 9));
    EXPECT_EQ(1, list.firsts);
    EXPECT_EQ(3, list.nexts) << "two more events, then the end";
    for (uint32_t mask : list.masks) EXPECT_EQ(0x3F0FFFu, mask);

    EXPECT_EQ(E_POINTER, DeliverEvents(nullptr, state, 9));
}

// While a detection waits, any SysX that reaches the engine counts as the
// instrument's answer: that shows which events get through.
TEST(DeliverEventsTest, OnlyEventsOnTheInputPortReachTheEngine) {
    const uint8_t sysx[] = {0xF0, 0x7D, 0x01, 0xF7};
    struct Case {
        uint32_t eventPort;
        uint32_t inPort;
        bool reaches;
    };
    for (const Case& c : {Case{7, 9, false}, Case{0, 0, false}, Case{9, 0, false}, Case{9, 9, true}}) {
        TransferState state;
        state.activity.store(Activity::Detecting);
        druvhost::HostEventList list;
        list.AddMessage(c.eventPort, sysx, sizeof(sysx));
        EXPECT_EQ(S_OK, DeliverEvents(&list, state, c.inPort));
        EXPECT_EQ(c.reaches, state.reply_seen.load()) << c.eventPort << " on " << c.inPort;
    }
}

}  // namespace
