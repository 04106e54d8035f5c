// The configuration a transfer handles: by number or name, the entry for all
// as mask 0, and nothing that the filter does not offer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "druvhost/cli/configuration_choice.h"

namespace {

TEST(ConfigurationChoiceTest, TheFiltersTextSplitsIntoItsNames) {
    EXPECT_EQ(druvhost::SplitDataTypes("All;"), std::vector<std::string>{"All"});
    EXPECT_EQ(druvhost::SplitDataTypes("All;Patches;Scene Memory"),
              (std::vector<std::string>{"All", "Patches", "Scene Memory"}));
}

TEST(ConfigurationChoiceTest, ChoicesGiveTheirMaskOrAReason) {
    const std::vector<std::string> names = {"All", "Patches", "Scenes", "Global"};
    struct Case {
        const char* choice;
        bool accepted;
        uint32_t mask;
    } cases[] = {{"", true, 0},       {"0", true, 0},       {"all", true, 0},    {"1", true, 1},
                 {"3", true, 4},      {"sCENES", true, 2},  {"4", false, 0},     {"Drums", false, 0},
                 {"-1", false, 0},    {"99999", false, 0}};
    for (const Case& c : cases) {
        uint32_t mask = 0xDEAD;
        std::string error;
        EXPECT_EQ(druvhost::ChooseConfiguration(names, c.choice, mask, error), c.accepted) << c.choice;
        if (c.accepted) EXPECT_EQ(mask, c.mask) << c.choice;
        else EXPECT_FALSE(error.empty()) << c.choice;
    }
    uint32_t mask = 0;
    std::string error;
    EXPECT_FALSE(druvhost::ChooseConfiguration({"All"}, "1", mask, error));
}

TEST(ConfigurationChoiceTest, DeviceIdsAsShownWithinTheDevicesRange) {
    struct Case {
        int shown, offset, low, high;
        bool accepted;
        uint8_t id;
    } cases[] = {{1, 1, 0, 15, true, 0}, {16, 1, 0, 15, true, 15}, {0, 1, 0, 15, false, 0},
                 {17, 1, 0, 15, false, 0}, {16, 0, 16, 31, true, 16}, {15, 0, 16, 31, false, 0}};
    for (const Case& c : cases) {
        uint8_t id = 0xEE;
        std::string error;
        EXPECT_EQ(druvhost::DeviceIdFromShown(c.shown, c.offset, c.low, c.high, id, error), c.accepted) << c.shown;
        if (c.accepted) EXPECT_EQ(id, c.id);
        else EXPECT_NE(error.find("outside"), std::string::npos);
    }
}

}  // namespace
