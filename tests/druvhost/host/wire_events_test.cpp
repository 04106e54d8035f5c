// The test host's conversion between wire messages and event records, and
// the event list built from them.
#include <gtest/gtest.h>

#include <vector>

#include "druvhost/host/host_event_list.h"
#include "druvhost/host/wire_events.h"

namespace {

using druvhost::EventToWire;
using druvhost::WireToEvent;

TEST(WireEventsTest, EveryChannelKindAndSysXSurviveTheRoundTrip) {
    const std::vector<std::vector<uint8_t>> messages = {
        {0x83, 60, 0},  {0x94, 60, 100}, {0xA5, 61, 7},  {0xB6, 7, 127},   {0xC7, 12},
        {0xD8, 99},     {0xEF, 0, 64},   {0xF0, 0x7D, 0x01, 0x02, 0xF7},  {0xF0, 0xF7},
    };
    for (const auto& message : messages) {
        MPEvent event{};
        ASSERT_TRUE(WireToEvent(message.data(), message.size(), 9, event)) << int(message[0]);
        EXPECT_EQ(9u, event.Port);
        EXPECT_EQ(message, EventToWire(event)) << int(message[0]);
    }
    MPEvent bend{};
    WireToEvent(std::vector<uint8_t>{0xE3, 0x11, 0x22}.data(), 3, 1, bend);
    EXPECT_EQ(MP_EVENT_PITCH_BEND, bend.Type);
    EXPECT_EQ(3u, bend.Channel);
    EXPECT_EQ(0x11, bend.Data.Short[0]);
    EXPECT_EQ(0x22, bend.Data.Short[1]);
}

TEST(WireEventsTest, OtherOrCutMessagesAreNoEvents) {
    MPEvent event{};
    for (const std::vector<uint8_t>& message :
         std::vector<std::vector<uint8_t>>{{0xF8}, {0xFE}, {0x90, 60}, {0xC0}, {0x40, 0x40}, {}}) {
        EXPECT_FALSE(WireToEvent(message.data(), message.size(), 1, event)) << message.size();
    }
    event = MPEvent{};
    event.Type = 0x1000;
    EXPECT_TRUE(EventToWire(event).empty());
}

TEST(HostEventListTest, WalksTheEventsOfTheMaskAndEndsWithPositionZero) {
    druvhost::HostEventList list;
    const uint8_t sysx[] = {0xF0, 0x7D, 0x55, 0xF7};
    const uint8_t note[] = {0x90, 60, 100};
    ASSERT_TRUE(list.AddMessage(4, sysx, sizeof(sysx)));
    ASSERT_TRUE(list.AddMessage(4, note, sizeof(note)));
    ASSERT_TRUE(list.AddMessage(5, sysx, sizeof(sysx)));

    uintptr_t position = 99;
    MPEvent event{};
    uint32_t value = 7;
    ASSERT_EQ(S_OK, list.First(&position, &event, &value, MP_EVENT_SYSX));
    EXPECT_EQ(1u, position);
    EXPECT_EQ(0u, value);
    ASSERT_EQ(3u, event.Length);
    EXPECT_EQ(0x7D, event.Data.SysX[0]);
    EXPECT_EQ(0xF7, event.Data.SysX[2]);
    ASSERT_EQ(S_OK, list.Next(&position, &event, &value, MP_EVENT_SYSX));
    EXPECT_EQ(3u, position) << "the note is not in the mask";
    EXPECT_EQ(5u, event.Port);
    EXPECT_EQ(S_FALSE, list.Next(&position, &event, &value, MP_EVENT_SYSX));
    EXPECT_EQ(0u, position);

    ASSERT_EQ(S_OK, list.First(&position, &event, &value, 0x3F0FFF));
    ASSERT_EQ(S_OK, list.Next(&position, &event, &value, 0x3F0FFF));
    EXPECT_EQ(MP_EVENT_NOTE_ON, event.Type);
    EXPECT_EQ(S_FALSE, list.First(&position, &event, &value, 0));
    EXPECT_EQ(0u, position);
}

}  // namespace
