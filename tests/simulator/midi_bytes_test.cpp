#include "simulator/midi_bytes.h"

#include <gtest/gtest.h>

#include "simulator/instrument_definition.h"

namespace druv::simulator {
namespace {

TEST(SplitTemplateMessages, CutsAtStatusBytesAndLeavesPausesOut) {
  const std::vector<MidiMessage> messages = SplitTemplateMessages({0xF0, 0x7D, 0x01, 0xF7, 0xF3, 0x0A, 0xC5, 0x0A});
  ASSERT_EQ(2u, messages.size());
  EXPECT_EQ((MidiMessage{0xF0, 0x7D, 0x01, 0xF7}), messages[0]);
  EXPECT_EQ((MidiMessage{0xC5, 0x0A}), messages[1]);
}

TEST(SplitTemplateMessages, SendsWhatTheEngineSends) {
  EXPECT_EQ(1u, SplitTemplateMessages({0x01, 0x02, 0xF0, 0x7D, 0xF7}).size()) << "leading data bytes";
  EXPECT_TRUE(SplitTemplateMessages({0xF7, 0xF0, 0x7D, 0xF7}).empty()) << "leading F7";
  EXPECT_TRUE(SplitTemplateMessages({0x90, 0x3C}).empty()) << "note on without its velocity";
  const std::vector<MidiMessage> placeholders = SplitTemplateMessages({0xF0, 0x7D, 0xF1, 0xF2, 0xF7, 0xB0, 0xF1, 0x00});
  ASSERT_EQ(2u, placeholders.size());
  EXPECT_EQ((MidiMessage{0xF0, 0x7D, 0xF1, 0xF2, 0xF7}), placeholders[0]);
}

TEST(InsertLoopValue, WritesBothHalvesInEveryFormat) {
  const uint8_t expected[4][2] = {{0x2C, 0x02}, {0x02, 0x2C}, {0x0C, 0x02}, {0x02, 0x0C}};
  for (int32_t format = 0; format < 4; ++format) {
    uint8_t bytes[] = {0xF2, 0x00, 0xF1};
    InsertLoopValue(bytes, 3, 300, format);
    EXPECT_EQ(expected[format][0], bytes[2]) << "format " << format;
    EXPECT_EQ(expected[format][1], bytes[0]) << "format " << format;
    EXPECT_EQ(0x00, bytes[1]);
  }
  uint8_t unknown[] = {0xF1, 0xF2};
  InsertLoopValue(unknown, 2, 300, 4);
  EXPECT_EQ(0xF1, unknown[0]);
  EXPECT_EQ(0xF2, unknown[1]);
}

TEST(DeviceIdPlacement, LowNybbleOrWholeByte) {
  uint8_t message[] = {0xF0, 0x7D, 0x10, 0x00, 0xF7};
  DeviceIdPlacement{2, 15}.Insert(message, 5, 3);
  EXPECT_EQ(0x13, message[2]);
  DeviceIdPlacement{2, 16}.Insert(message, 5, 3);
  EXPECT_EQ(0x03, message[2]);
  DeviceIdPlacement{4, 16}.Insert(message, 5, 3);
  EXPECT_EQ(0xF7, message[4]) << "the closing F7 is never the ID byte";
  EXPECT_TRUE((DeviceIdPlacement{2, 15}.Carries(message, 5, 0x13))) << "nybble devices compare the low nybble";
  EXPECT_FALSE((DeviceIdPlacement{2, 15}.Carries(message, 5, 4)));
}

}  // namespace
}  // namespace druv::simulator
