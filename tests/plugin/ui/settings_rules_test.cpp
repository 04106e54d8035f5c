// What the page's settings fields show and accept.
#include <gtest/gtest.h>

#include "device/druv_device.h"
#include "plugin/engine/druv_data.h"
#include "plugin/ui/settings_rules.h"

namespace {

TEST(SettingsFieldsTest, DeviceIdFieldShowsDisplayValuesOnlyWhereTheMessagesCarryAnId) {
    DRUVDevice device;
    device.SetSysXChanOfs(2);
    device.SetSysXChanMin(0);
    device.SetSysXChanMax(15);
    device.SetSysXDisplayOfs(1);
    SpinField field = DeviceIdField(device, 4);
    EXPECT_TRUE(field.shown);
    EXPECT_EQ(1, field.low);
    EXPECT_EQ(16, field.high);
    EXPECT_EQ(5, field.position);

    device.SetSysXDisplayOfs(-1);
    device.SetSysXChanMin(1);
    field = DeviceIdField(device, 1);
    EXPECT_EQ(0, field.low);
    EXPECT_EQ(14, field.high);
    EXPECT_EQ(0, field.position);

    device.SetSysXChanMax(1);
    EXPECT_FALSE(DeviceIdField(device, 1).shown) << "a range of one value";
    device.SetSysXChanMax(15);
    device.SetSysXChanOfs(0);
    EXPECT_FALSE(DeviceIdField(device, 1).shown);
}

TEST(SettingsFieldsTest, ChannelFieldOnlyForDevicesOnAMidiChannel) {
    DRUVDevice device;
    EXPECT_FALSE(ChannelField(device, 3).shown);
    device.SetMidiChannel(1);
    const SpinField field = ChannelField(device, 3);
    EXPECT_TRUE(field.shown);
    EXPECT_EQ(1, field.low);
    EXPECT_EQ(16, field.high);
    EXPECT_EQ(4, field.position);
}

TEST(SettingsRulesTest, DeviceIdTextIsShiftedByTheDisplayOffsetAndLimited) {
    DRUVDevice device;
    device.SetSysXChanOfs(2);
    device.SetSysXChanMin(0);
    device.SetSysXChanMax(15);
    device.SetSysXDisplayOfs(1);
    EXPECT_EQ(0, DeviceIdFromText(device, "0"));
    EXPECT_EQ(15, DeviceIdFromText(device, "40"));
    EXPECT_EQ(4, DeviceIdFromText(device, "5"));
    EXPECT_EQ(0, DeviceIdFromText(device, "abc"));
    EXPECT_EQ(15, DeviceIdFromText(device, "99999999999"));
    EXPECT_EQ(0, DeviceIdFromText(device, "-99999999999"));

    device.SetSysXChanMin(16);
    device.SetSysXChanMax(31);
    device.SetSysXDisplayOfs(-16);
    EXPECT_EQ(16, DeviceIdFromText(device, "0"));
    EXPECT_EQ(20, DeviceIdFromText(device, "4"));
}

TEST(SettingsRulesTest, ChannelAndDelayTextsWithoutDigitsStoreZeroAndAreLimited) {
    EXPECT_EQ(0, ChannelFromText("abc"));
    EXPECT_EQ(0, ChannelFromText(""));
    EXPECT_EQ(0, ChannelFromText("1"));
    EXPECT_EQ(9, ChannelFromText("10"));
    EXPECT_EQ(15, ChannelFromText("17"));
    EXPECT_EQ(0, ChannelFromText("-4"));

    EXPECT_EQ(0, DelayFromText("none"));
    EXPECT_EQ(42, DelayFromText(" 42ms"));
    EXPECT_EQ(100, DelayFromText("101"));
    EXPECT_EQ(0, DelayFromText("-1"));
}

TEST(SettingsRulesTest, DataListMarksTemplatesThatHoldData) {
    DRUVDevice device;
    DRUVTemplate* patch = device.AddTemplate("Patch");
    patch->SetSize(8);
    DumpItem item("Patch");
    EXPECT_EQ("Patch", DataListLine(*patch, &item));
    ASSERT_TRUE(item.Allocate(16));
    item.Data()[0] = 0xF0;
    item.Length.store(3);
    EXPECT_EQ("Patch *", DataListLine(*patch, &item));
    EXPECT_EQ("Patch", DataListLine(*patch, nullptr));
}

}  // namespace
