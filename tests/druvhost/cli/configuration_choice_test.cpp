// The configuration a transfer handles: by number or name, the entry for all
// as mask 0, and nothing that the filter does not offer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/druv_configuration.h"
#include "device/druv_device.h"
#include "druvhost/cli/configuration_choice.h"

namespace {

// Templates Global, Patches and Drums; configurations "Global; Patches"
// (a ';' inside its name) and "Drums".
void BuildKit(DRUVDevice& device) {
    for (const char* name : {"Global", "Patches", "Drums"}) device.AddTemplate(name);
    DRUVConfiguration* both = device.AddConfiguration("Global; Patches");
    both->AddRef("global");
    both->AddRef("PATCHES");
    device.AddConfiguration("Drums")->AddRef("Drums");
}

// The names come from the definition: a ';' inside one neither splits it nor
// moves the configurations after it, which the filter's ';'-separated list
// for hosts would.
TEST(ConfigurationChoiceTest, NamesHoldingASemicolonChooseTheirOwnConfiguration) {
    DRUVDevice device;
    BuildKit(device);
    const std::vector<std::string> names = druvhost::ConfigurationNames(device);
    EXPECT_EQ(names, (std::vector<std::string>{"All", "Global; Patches", "Drums"}));
    struct Case {
        const char* choice;
        uint32_t mask;
        std::vector<bool> templates;  // Global, Patches, Drums
    } cases[] = {
        {"global; patches", 1, {true, true, false}},
        {"Drums", 2, {false, false, true}},
        {"2", 2, {false, false, true}},
        {"All", 0, {true, true, true}},
    };
    for (const Case& c : cases) {
        uint32_t mask = 0xDEAD;
        std::string error;
        ASSERT_TRUE(druvhost::ChooseConfiguration(names, c.choice, mask, error)) << c.choice << ": " << error;
        EXPECT_EQ(mask, c.mask) << c.choice;
        EXPECT_EQ(druvhost::SelectedTemplates(device, mask), c.templates) << c.choice;
    }
    // Neither half of the name is a configuration of its own.
    for (const char* half : {"Global", " Patches", "3"}) {
        uint32_t mask = 0;
        std::string error;
        EXPECT_FALSE(druvhost::ChooseConfiguration(names, half, mask, error)) << half << " gave mask " << mask;
    }
}

TEST(ConfigurationChoiceTest, SelectedTemplatesIgnoreBitsBeyondTheConfigurations) {
    DRUVDevice device;
    BuildKit(device);
    EXPECT_EQ(druvhost::SelectedTemplates(device, 4), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(druvhost::SelectedTemplates(device, 3), (std::vector<bool>{true, true, true}));
    DRUVDevice bare;
    EXPECT_EQ(druvhost::ConfigurationNames(bare), std::vector<std::string>{"All"});
}

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
