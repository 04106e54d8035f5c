#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "druvhost/ports/midi_message_bytes.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(MidiMessageBytes, UnpacksShortMessagesByTheirStatusByte) {
    struct Case {
        uint32_t packed;
        Bytes expected;  // empty: not a short message
    };
    const std::vector<Case> cases = {
        {0x00403C90, {0x90, 0x3C, 0x40}},  // note on
        {0x7F7F07B3, {0xB3, 0x07, 0x7F}},  // control change; the top byte is not ours
        {0x00FF05C2, {0xC2, 0x05}},        // program change: one data byte, the rest ignored
        {0x000011D0, {0xD0, 0x11}},        // channel pressure
        {0x00007FE0, {0xE0, 0x7F, 0x00}},  // pitch bend
        {0x000003F3, {0xF3, 0x03}},        // song select
        {0x002030F2, {0xF2, 0x30, 0x20}},  // song position
        {0x000000F6, {0xF6}},
        {0xFFFFFFF8, {0xF8}},  // clock: everything after the status ignored
        {0x000000FE, {0xFE}},
        {0x00403C10, {}},  // running status: no status byte
        {0x00803C90, {}},  // a data byte with its top bit set
        {0x000000F0, {}},
        {0x000000F7, {}},
        {0x000000F4, {}},
    };
    for (const Case& c : cases) {
        uint8_t bytes[3] = {};
        const size_t length = druvhost::UnpackShortMessage(c.packed, bytes);
        EXPECT_EQ(c.expected, Bytes(bytes, bytes + length)) << std::hex << c.packed;
        uint32_t packed = 0;
        if (length > 0) {
            ASSERT_TRUE(druvhost::PackShortMessage(bytes, length, packed)) << std::hex << c.packed;
            uint8_t again[3] = {};
            EXPECT_EQ(c.expected, Bytes(again, again + druvhost::UnpackShortMessage(packed, again)));
        }
    }
}

TEST(MidiMessageBytes, RefusesToPackWhatIsNotOneShortMessage) {
    const std::vector<Bytes> refused = {
        {},
        {0x90, 0x3C},              // a data byte short
        {0x90, 0x3C, 0x40, 0x00},  // one too many
        {0xC0, 0x01, 0x02},
        {0x90, 0x3C, 0x80},  // a status byte where data belongs
        {0x3C, 0x40},        // no status byte
        {0xF0, 0x01, 0xF7},  // SysX is no short message
        {0xF7},
    };
    for (const Bytes& message : refused) {
        uint32_t packed = 0xDEADBEEF;
        EXPECT_FALSE(druvhost::PackShortMessage(message.data(), message.size(), packed)) << message.size();
        EXPECT_EQ(0xDEADBEEFu, packed);
    }
}

TEST(MidiMessageBytes, WholeSysX) {
    const std::vector<std::pair<Bytes, bool>> cases = {
        {{0xF0, 0xF7}, true},
        {{0xF0, 0x41, 0x7F, 0xF7}, true},
        {{0xF0, 0x41}, false},
        {{0x41, 0xF7}, false},
        {{0xF0, 0x41, 0xF8, 0xF7}, false},  // a status byte inside
        {{0xF0}, false},
        {{}, false},
    };
    for (const auto& [message, whole] : cases)
        EXPECT_EQ(whole, druvhost::IsWholeSysX(message.data(), message.size())) << message.size();
}

}  // namespace
