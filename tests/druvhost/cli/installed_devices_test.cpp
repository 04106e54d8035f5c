// The device a command names: found by name in any letter case or by class,
// never guessed when two share a name. (Reading the list is covered with the
// install command in manager_commands_test.cpp.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "druvhost/cli/installed_devices.h"

namespace {

using druvhost::InstalledDevice;

constexpr GUID kMixer = {0x7C0D2E51, 0x93A4, 0x4B7E, {0x8F, 0x26, 0x5A, 0x1D, 0x3C, 0x9B, 0x0E, 0x47}};
constexpr GUID kSynth = {0xE2A7C4D9, 0x5B13, 0x4F8A, {0xA6, 0xE0, 0x39, 0xD7, 0x1B, 0x5C, 0x82, 0xF4}};

TEST(InstalledDevicesTest, FoundByNameOrClassAndRefusedWhenUnclear) {
    const std::vector<InstalledDevice> devices = {
        {"Brindle Koss SD-16", kMixer, "m"}, {"Velmora Äster 8", kSynth, "s"}, {"Twin", kMixer, "t1"}};
    struct Case {
        const char* text;
        const char* path;  // null: refused
    } cases[] = {
        {"brindle koss sd-16", "m"},
        {"VELMORA Äster 8", "s"},
        {"{e2a7c4d9-5b13-4f8a-a6e0-39d71b5c82f4}", "s"},
        {"Velmora äster 8", nullptr},  // letters beyond ASCII keep their case
        {"Brindle", nullptr},
        {"{00000000-0000-0000-0000-000000000000}", nullptr},
    };
    for (const Case& c : cases) {
        std::string error;
        const InstalledDevice* found = druvhost::FindDevice(devices, c.text, error);
        if (c.path == nullptr) {
            EXPECT_EQ(found, nullptr) << c.text;
            EXPECT_FALSE(error.empty()) << c.text;
        } else {
            ASSERT_NE(found, nullptr) << c.text << ": " << error;
            EXPECT_EQ(found->definitionPath, c.path);
        }
    }
    std::vector<InstalledDevice> twins = devices;
    twins.push_back({"twin", kSynth, "t2"});
    std::string error;
    EXPECT_EQ(druvhost::FindDevice(twins, "TWIN", error), nullptr);
    EXPECT_NE(error.find("more than one"), std::string::npos);
}

}  // namespace
