// Import of a .syx file into one item and into a configuration: laid into
// loops as a receive stores them, or refused with what the item expects and
// where the file differs; applied to the saved bytes only when it fits; and
// export of stored dumps back to messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "druvhost/syx/saved_dumps.h"
#include "druvhost/syx/syx_import.h"
#include "druvhost/host/saved_settings.h"
#include "tests/druvhost/syx/syx_test_device.h"

namespace {

using druvhost::SyxImport;
using syxtest::BankMessage;
using syxtest::Bytes;
using syxtest::Message;

// The store's form of a dump: each loop's messages, then FF.
Bytes Stored(const std::vector<std::vector<Bytes>>& loops) {
    Bytes stored;
    for (const auto& loop : loops) {
        for (const Bytes& m : loop) stored.insert(stored.end(), m.begin(), m.end());
        stored.push_back(0xFF);
    }
    return stored;
}

TEST(SyxImportTest, ItemTakesTheFileLoopByLoopOrSaysWhyNot) {
    const auto device = syxtest::MakeDevice();
    Bytes badSum = BankMessage(1);
    badSum[10] ^= 0x01;
    const Bytes p1 = Message(8, 1), p2 = Message(8, 2), p3 = Message(8, 3);
    struct Row {
        const char* what;
        const char* item;
        std::vector<Bytes> file;
        Bytes stored;        // when it fits
        const char* refusal;  // else a part of the refusal
    };
    const Row rows[] = {
        {"one fixed message", "Bank", {BankMessage(1)}, Stored({{BankMessage(1)}}), nullptr},
        {"a loop per message, name in any case", "PATCHES", {p1, p2, p3}, Stored({{p1}, {p2}, {p3}}), nullptr},
        {"one loop of several messages", "Split", {Message(5, 1), Message(7, 2)},
         Stored({{Message(5, 1), Message(7, 2)}}), nullptr},
        {"shorter messages where the length may vary", "Open", {Message(4, 1), Message(9, 2)},
         Stored({{Message(4, 1)}, {Message(9, 2)}}), nullptr},
        {"a terminator ends the loop and is not stored", "Stream", {Message(5, 1), {0xF0, 0x7D, 0x7F, 0xF7}},
         Stored({{Message(5, 1)}}), nullptr},
        {"a count of messages ends the loop short of its size", "Counted", {Message(5, 1), Message(6, 2)},
         Stored({{Message(5, 1), Message(6, 2)}}), nullptr},
        {"short: fewer loops than the item has", "Patches", {p1, p2}, {},
         "\"Patches\" expects 3 loops of one 8-byte message; the file ends after message 2"},
        {"short: a loop of several messages not full", "Split", {Message(5, 1)}, {},
         "expects 1 loop of 12 bytes in one or more messages; the file ends after message 1"},
        {"overflow: more messages than loops", "Patches", {p1, p2, p3, p1}, {},
         "\"Patches\" takes 3 messages (3 loops of one 8-byte message); the file holds 1 more from message 4 "
         "(at byte 24)"},
        {"overflow: a loop of several messages overfilled", "Split", {Message(5, 1), Message(8, 2)}, {},
         "message 2 (at byte 5) holds 8 bytes for loop 1, which holds 5 bytes already"},
        {"a message of another size", "Patches", {p1, Message(9, 2), p3}, {},
         "message 2 (at byte 8) holds 9 bytes for loop 2"},
        {"longer than a loop of varying length", "Open", {Message(10, 1), Message(4, 2)}, {},
         "\"Open\" expects 2 loops of one message of at most 9 bytes; message 1"},
        {"bad checksum", "Bank", {badSum}, {},
         "message 1 (at byte 0) fails the checksum of \"Bank\" (2s Complement of bytes 4 to 9, at byte 10)"},
        {"no such item", "Voices", {p1}, {}, "the device has no item \"Voices\""},
        {"an item of no size", "Empty", {p1}, {}, "\"Empty\" takes no dump (1 loop of 0 bytes)"},
    };
    for (const Row& row : rows) {
        const druvhost::SyxFile file = syxtest::Parsed(row.file);
        const SyxImport import = druvhost::PlanItemImport(*device, file, row.item);
        if (!row.refusal) {
            ASSERT_TRUE(import.Fits()) << row.what << ": " << import.refusal;
            ASSERT_EQ(1u, import.items.size()) << row.what;
            EXPECT_EQ(row.stored, import.items[0].stored) << row.what;
            EXPECT_EQ(row.file.size(), import.items[0].messageCount) << row.what;
            EXPECT_EQ(0u, import.unmatchedCount) << row.what;
        } else {
            EXPECT_FALSE(import.Fits()) << row.what;
            EXPECT_NE(std::string::npos, import.refusal.find(row.refusal)) << row.what << ": " << import.refusal;
        }
    }
}

TEST(SyxImportTest, ConfigurationFillsItsItemsInStoreOrder) {
    const auto device = syxtest::MakeDevice();
    const Bytes p[] = {Message(8, 1), Message(8, 2), Message(8, 3), Message(8, 4), Message(8, 5), Message(8, 6)};
    // Configuration 2 names Other before Patches; a receive stores Patches
    // first, as the device's templates stand.
    const druvhost::SyxFile six = syxtest::Parsed({p[0], p[1], p[2], p[3], p[4], p[5]});
    SyxImport two = druvhost::PlanConfigurationImport(*device, six, 1u << 1);
    ASSERT_TRUE(two.Fits()) << two.refusal;
    ASSERT_EQ(2u, two.items.size());
    EXPECT_EQ("Patches", two.items[0].item);
    EXPECT_EQ(Stored({{p[0]}, {p[1]}, {p[2]}}), two.items[0].stored);
    EXPECT_EQ("Other", two.items[1].item);
    EXPECT_EQ(3u, two.items[1].firstMessage);
    EXPECT_EQ(Stored({{p[3]}, {p[4]}, {p[5]}}), two.items[1].stored);

    const druvhost::SyxFile seven = syxtest::Parsed({p[0], p[1], p[2], p[3], p[4], p[5], p[0]});
    SyxImport overflow = druvhost::PlanConfigurationImport(*device, seven, 1u << 1);
    EXPECT_FALSE(overflow.Fits());
    EXPECT_EQ(6u, overflow.unmatchedFirst);
    EXPECT_EQ(1u, overflow.unmatchedCount);
    EXPECT_NE(std::string::npos, overflow.refusal.find("the configuration's 2 items take 6 messages"))
        << overflow.refusal;

    // Bank and Patches: the bank message first; a patch where the bank goes is refused there.
    const druvhost::SyxFile both = syxtest::Parsed({BankMessage(1), p[0], p[1], p[2]});
    EXPECT_TRUE(druvhost::PlanConfigurationImport(*device, both, 1u).Fits());
    const druvhost::SyxFile swapped = syxtest::Parsed({p[0], p[1], p[2], BankMessage(1)});
    SyxImport refused = druvhost::PlanConfigurationImport(*device, swapped, 1u);
    EXPECT_FALSE(refused.Fits());
    EXPECT_EQ(0u, refused.unmatchedFirst);
    EXPECT_NE(std::string::npos, refused.refusal.find("\"Bank\" expects 1 loop of one 12-byte message; message 1"))
        << refused.refusal;

    const SyxImport stale = druvhost::PlanConfigurationImport(*device, both, 1u << 2);
    EXPECT_EQ("the configuration names no item of the device", stale.refusal);
    EXPECT_EQ(4u, stale.unmatchedCount);
}

TEST(SyxImportTest, ApplyingKeepsTheRestOfTheSavedBytesAndARefusalChangesNothing) {
    const auto device = syxtest::MakeDevice();
    // Saved bytes with a device ID of their own and a dump in another item.
    const Bytes split = Stored({{Message(12, 7)}});
    std::vector<uint8_t> saved;
    std::string error;
    const druvhost::SyxFile splitFile = syxtest::Parsed({Message(12, 7)});
    ASSERT_TRUE(druvhost::ApplyImport(*device, druvhost::PlanItemImport(*device, splitFile, "Split"), saved, error));
    druvhost::SettingsChange change;
    change.deviceId = 9;
    ASSERT_TRUE(druvhost::ChangeSavedSettings(saved, change));

    const druvhost::SyxFile file = syxtest::Parsed({BankMessage(2)});
    ASSERT_TRUE(druvhost::ApplyImport(*device, druvhost::PlanItemImport(*device, file, "Bank"), saved, error)) << error;
    std::vector<druvhost::SavedDump> dumps;
    ASSERT_TRUE(druvhost::ReadSavedDumps(*device, saved, dumps, error)) << error;
    ASSERT_EQ(device->TemplateCount(), dumps.size());
    EXPECT_EQ(Stored({{BankMessage(2)}}), dumps[0].data);
    EXPECT_EQ(split, dumps[3].data);
    EXPECT_TRUE(dumps[1].data.empty());
    druvhost::SavedSettings settings;
    ASSERT_TRUE(druvhost::ReadSavedSettings(saved, settings));
    EXPECT_EQ(9, settings.deviceId);

    // A refused import and unreadable saved bytes leave `saved` as it was.
    const std::vector<uint8_t> before = saved;
    const druvhost::SyxFile wrong = syxtest::Parsed({Message(8, 1)});
    EXPECT_FALSE(druvhost::ApplyImport(*device, druvhost::PlanItemImport(*device, wrong, "Bank"), saved, error));
    EXPECT_NE(std::string::npos, error.find("expects 1 loop")) << error;
    EXPECT_EQ(before, saved);
    std::vector<uint8_t> garbled = {'D', 'R', 'U', 'V', 0, 0, 0, 1, 2, 0};
    const std::vector<uint8_t> garbledBefore = garbled;
    EXPECT_FALSE(druvhost::ApplyImport(*device, druvhost::PlanItemImport(*device, file, "Bank"), garbled, error));
    EXPECT_NE(std::string::npos, error.find("cannot be read")) << error;
    EXPECT_EQ(garbledBefore, garbled);
}

TEST(SyxExportTest, WritesStoredMessagesWithoutMarkersOrRefuses) {
    const auto device = syxtest::MakeDevice();
    const Bytes p[] = {Message(8, 1), Message(8, 2), Message(8, 3)};
    std::vector<uint8_t> saved;
    std::string error;
    const druvhost::SyxFile file = syxtest::Parsed({BankMessage(1), p[0], p[1], p[2]});
    ASSERT_TRUE(druvhost::ApplyImport(*device, druvhost::PlanConfigurationImport(*device, file, 1u), saved, error))
        << error;

    std::vector<uint8_t> syx;
    ASSERT_TRUE(druvhost::ExportItem(*device, saved, "patches", syx, error)) << error;
    EXPECT_EQ(syxtest::Joined({p[0], p[1], p[2]}), syx);
    ASSERT_TRUE(druvhost::ExportConfiguration(*device, saved, 1u, syx, error)) << error;
    EXPECT_EQ(syxtest::Joined({BankMessage(1), p[0], p[1], p[2]}), syx);

    // Nothing stored, no such item, a configuration with an empty item, a broken stored message.
    syx = {0x42};
    EXPECT_FALSE(druvhost::ExportItem(*device, saved, "Split", syx, error));
    EXPECT_NE(std::string::npos, error.find("no dump is stored for \"Split\"")) << error;
    EXPECT_FALSE(druvhost::ExportItem(*device, saved, "Voices", syx, error));
    EXPECT_NE(std::string::npos, error.find("no item \"Voices\"")) << error;
    EXPECT_FALSE(druvhost::ExportConfiguration(*device, saved, 1u << 1, syx, error));
    EXPECT_NE(std::string::npos, error.find("\"Other\"")) << error;
    EXPECT_FALSE(druvhost::ExportConfiguration(*device, saved, 1u << 2, syx, error));
    EXPECT_EQ("the configuration names no item of the device", error);
    EXPECT_EQ(Bytes{0x42}, syx);
    const Bytes broken = {0xF0, 0x7D, 0x01, 0x02, 0xFF, 0xF0, 0x01, 0xF7, 0xFF};
    Bytes out;
    EXPECT_FALSE(druvhost::AppendStoredMessages(broken.data(), broken.size(), out, error));
    EXPECT_NE(std::string::npos, error.find("at byte 0")) << error;
}

}  // namespace
