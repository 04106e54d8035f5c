// Building the store from a definition, item selection, port resolution and
// the test for stored data.
#include <gtest/gtest.h>

#include <cstring>

#include "device/druv_device.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/item_selection.h"

namespace {

TEST(DataStore, BuiltFromDevice) {
    DRUVDevice device;
    device.SetCompany(std::string(300, 'C').c_str());
    device.SetProduct("Desk");
    device.SetSysXChanMin(3);
    device.SetSysXChanDefault(7);
    DRUVTemplate* scene = device.AddTemplate("Scene");
    scene->SetSize(100);
    DRUVTemplate* banks = device.AddTemplate("Banks");
    banks->SetSize(40);
    banks->SetNumLoops(4);
    banks->SetLoopRecvSize(10);

    DRUVData data;
    data.BuildFrom(device);
    EXPECT_EQ(data.Company.size(), 255u);
    EXPECT_EQ(data.Product, "Desk");
    EXPECT_EQ(data.Version, "1.0");
    EXPECT_EQ(data.DeviceId.load(), 3) << "starts at SysXChanMin, not SysXChanDefault";
    ASSERT_EQ(data.Items.size(), 2u);
    EXPECT_EQ(data.Items[0]->Name(), "Scene");
    EXPECT_EQ(data.Items[0]->Capacity(), 102u) << "NumLoops + Size + 1";
    EXPECT_EQ(data.Items[0]->Length.load(), 0);
    ASSERT_NE(data.Items[0]->Data(), nullptr);
    EXPECT_EQ(data.Items[1]->Name(), "Banks");
    EXPECT_EQ(data.Items[1]->Capacity(), 48u) << "4 loops of 10 bytes, each with its FF and a spare";
}

TEST(DataStore, CapacityOfUnusualTemplates) {
    DRUVTemplate t("T");
    t.SetSize(10);
    t.SetNumLoops(1);
    EXPECT_EQ(DumpCapacityFor(t), 12u);

    // Size smaller than the loops need: room for every loop all the same.
    t.SetNumLoops(3);
    t.SetLoopRecvSize(100);
    EXPECT_EQ(DumpCapacityFor(t), 306u);

    // Size given as the total: the documented sum is large enough.
    t.SetSize(1000);
    EXPECT_EQ(DumpCapacityFor(t), 1004u);

    // Sums of 0 or below, and absurd sums, give no buffer.
    t.SetNumLoops(1);
    t.SetSize(-2);
    EXPECT_EQ(DumpCapacityFor(t), 0u);
    t.SetSize(-5);
    EXPECT_EQ(DumpCapacityFor(t), 0u);
    t.SetSize(0x7FFFFFFF);
    EXPECT_EQ(DumpCapacityFor(t), 0u);
    t.SetSize(10);
    t.SetNumLoops(100000);
    t.SetLoopRecvSize(100000);
    EXPECT_EQ(DumpCapacityFor(t), 0u);
}

TEST(DataStore, TemplateWithoutBufferGivesItemWithoutBuffer) {
    DRUVDevice device;
    device.AddTemplate("Broken")->SetSize(-10);
    DRUVData data;
    data.BuildFrom(device);
    ASSERT_EQ(data.Items.size(), 1u);
    EXPECT_EQ(data.Items[0]->Data(), nullptr);
    EXPECT_EQ(data.Items[0]->Capacity(), 0u);
    EXPECT_FALSE(data.Items[0]->HasData());
}

TEST(DataStore, HasData) {
    DumpItem item("Patch");
    EXPECT_FALSE(item.HasData()) << "no buffer";
    ASSERT_TRUE(item.Allocate(6));
    EXPECT_FALSE(item.HasData()) << "Length 0";
    std::memset(item.Data(), 0xFF, 6);
    item.Length = 3;
    EXPECT_FALSE(item.HasData()) << "only loop markers";
    item.Data()[1] = 0x00;
    EXPECT_TRUE(item.HasData());
    item.Length = 6;
    EXPECT_FALSE(item.HasData()) << "Length not below Capacity";
    item.Length = -1;
    EXPECT_FALSE(item.HasData());
}

TEST(DataStore, AllocateRefusesZeroAndOversizedBuffers) {
    DumpItem item("Patch");
    ASSERT_TRUE(item.Allocate(4));
    EXPECT_FALSE(item.Allocate(0));
    EXPECT_FALSE(item.Allocate(kMaxDumpCapacity + 1));
    EXPECT_EQ(item.Capacity(), 4u) << "a refused buffer leaves the old one";
}

class SelectItemsTest : public ::testing::Test {
protected:
    SelectItemsTest() {
        for (const char* name : {"Scene", "Patch", "Setup", "Lib"}) device.AddTemplate(name);
        device.AddConfiguration("Scenes")->AddRef("SCENE");
        device.AddConfiguration("Nothing");
        DRUVConfiguration* third = device.AddConfiguration("Mixed");
        third->AddRef("patch");
        third->AddRef("Lib");
        data.BuildFrom(device);
    }
    std::string Selected() {
        std::string names;
        for (auto& item : data.Items)
            if (item->Selected) names += item->Name() + " ";
        return names;
    }
    DRUVDevice device;
    DRUVData data;
};

TEST_F(SelectItemsTest, Masks) {
    SelectItems(device, data, 0);
    EXPECT_EQ(Selected(), "Scene Patch Setup Lib ");
    SelectItems(device, data, 5);
    EXPECT_EQ(Selected(), "Scene Patch Lib ") << "configurations 0 and 2, names ignoring case";
    SelectItems(device, data, 2);
    EXPECT_EQ(Selected(), "");
    SelectItems(device, data, 8);
    EXPECT_EQ(Selected(), "") << "bit beyond the configurations";
    SelectItems(device, data, 0x80000001u);
    EXPECT_EQ(Selected(), "Scene ") << "bit 31 ends the walk after bit 0";
}

TEST(SelectItems, BitBeyondConfigurationsStops) {
    DRUVDevice device;
    device.AddTemplate("A");
    device.AddConfiguration("One")->AddRef("A");
    device.AddConfiguration("Two")->AddRef("A");
    DRUVData data;
    data.BuildFrom(device);
    SelectItems(device, data, 4);
    EXPECT_FALSE(data.Items[0]->Selected);
}

TEST(ResolvePorts, ByIdentity) {
    DRUVData data;
    MPPortId wanted{};
    wanted.Data1 = 42;
    MPPortId other{};
    other.Data1 = 43;
    MPPortEntry entries[3] = {{5, other, nullptr}, {6, wanted, nullptr}, {7, wanted, nullptr}};

    data.InPortId = wanted;
    data.InPort = 99;
    data.InPorts = {3, entries};
    data.ResolvePorts(MP_PORT_INPUT);
    EXPECT_EQ(data.InPort.load(), 6u) << "the first equal entry";

    data.OutPortId = wanted;
    data.OutPort = 99;
    data.OutPorts = {1, entries};
    data.ResolvePorts(MP_PORT_OUTPUT);
    EXPECT_EQ(data.OutPort.load(), 0u);
    EXPECT_EQ(data.OutPortId, MPPortId{}) << "a port the host no longer lists is forgotten";
    EXPECT_EQ(data.InPort.load(), 6u) << "the other direction is untouched";

    data.OutPortId = wanted;
    data.OutPort = 99;
    data.OutPorts = {0, nullptr};
    data.ResolvePorts(MP_PORT_OUTPUT);
    EXPECT_EQ(data.OutPort.load(), 0u);
    EXPECT_EQ(data.OutPortId, wanted) << "an empty list keeps the identity";
}

}  // namespace
