// The settings in a filter's saved bytes: found after the three texts
// whatever their lengths, changed in place, and nothing done to bytes of
// another format.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "druvhost/host/saved_settings.h"
#include "druvhost/host/host_object.h"

namespace {

// A saved header as the filter writes it, with no dump chunks.
std::vector<uint8_t> Saved(const std::string& company, const std::string& product, const std::string& version) {
    std::vector<uint8_t> bytes = {'D', 'R', 'U', 'V', 0, 0, 0, 0, 1, 0};
    for (const std::string* text : {&company, &product, &version}) {
        bytes.push_back(static_cast<uint8_t>(text->size()));
        bytes.insert(bytes.end(), text->begin(), text->end());
    }
    for (int i = 0; i < 32; ++i) bytes.push_back(static_cast<uint8_t>(0xA0 + i));
    bytes.insert(bytes.end(), {5, 9, 0, 0, 0, 0, 0, 0, 0, 0});
    return bytes;
}

bool SameId(const MPPortId& a, const MPPortId& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(SavedSettingsTest, ChangedFieldsReadBackAndOthersStay) {
    for (const auto& texts : {std::vector<std::string>{"", "", ""}, {"Brindle", "Koss SD-16", "1.2"}}) {
        std::vector<uint8_t> saved = Saved(texts[0], texts[1], texts[2]);
        druvhost::SavedSettings before;
        ASSERT_TRUE(druvhost::ReadSavedSettings(saved, before));
        EXPECT_EQ(before.deviceId, 5);
        EXPECT_EQ(before.channel, 9);
        druvhost::SettingsChange change;
        change.inPort = druvhost::MakePortId(0x11);
        change.deviceId = 17;
        ASSERT_TRUE(druvhost::ChangeSavedSettings(saved, change));
        druvhost::SavedSettings after;
        ASSERT_TRUE(druvhost::ReadSavedSettings(saved, after));
        EXPECT_TRUE(SameId(after.inPort, druvhost::MakePortId(0x11)));
        EXPECT_TRUE(SameId(after.outPort, before.outPort));
        EXPECT_EQ(after.deviceId, 17);
        EXPECT_EQ(after.channel, 9);
        EXPECT_EQ(saved.size(), Saved(texts[0], texts[1], texts[2]).size());
    }
}

TEST(SavedSettingsTest, OtherFormatsAndShortBytesAreLeftAlone) {
    const std::vector<uint8_t> good = Saved("Brindle", "Koss", "1");
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases = {{"empty", {}}, {"other magic", good}, {"format 2", good}, {"revision 1", good},
                               {"cut in the settings", good}, {"text longer than the bytes", good}};
    cases[1].bytes[0] = 'X';
    cases[2].bytes[8] = 2;
    cases[3].bytes[9] = 1;
    cases[4].bytes.resize(good.size() - 20);
    cases[5].bytes[10] = 250;
    for (Case& c : cases) {
        const std::vector<uint8_t> before = c.bytes;
        druvhost::SettingsChange change;
        change.channel = 3;
        druvhost::SavedSettings settings;
        EXPECT_FALSE(druvhost::ReadSavedSettings(c.bytes, settings)) << c.what;
        EXPECT_FALSE(druvhost::ChangeSavedSettings(c.bytes, change)) << c.what;
        EXPECT_EQ(c.bytes, before) << c.what;
    }
}

}  // namespace

namespace {

TEST(SavedSettingsTest, ItemsHoldingDumpsAreCounted) {
    std::vector<uint8_t> saved = Saved("A", "B", "C");
    const auto chunk = [&saved](const std::string& name, const std::vector<uint8_t>& data) {
        saved.insert(saved.end(), {'T', 'M', 'P', 'T', 0, 0, 0, 0, static_cast<uint8_t>(name.size())});
        saved.insert(saved.end(), name.begin(), name.end());
        const uint32_t length = static_cast<uint32_t>(data.size());
        saved.insert(saved.end(), {uint8_t(length >> 24), uint8_t(length >> 16), uint8_t(length >> 8), uint8_t(length)});
        saved.insert(saved.end(), data.begin(), data.end());
    };
    EXPECT_EQ(druvhost::SavedItemsWithDumps(saved), 0);
    chunk("Patches", {0xF0, 0x41, 0xF7, 0xFF});
    chunk("Timed out", {0xFF, 0xFF});
    chunk("Empty", {});
    chunk("Scenes", {0xF0, 0x42, 0xF7, 0xFF});
    EXPECT_EQ(druvhost::SavedItemsWithDumps(saved), 2);
    saved.resize(saved.size() - 2);  // the last chunk's data cut short
    EXPECT_EQ(druvhost::SavedItemsWithDumps(saved), 1);
}

}  // namespace
