// What the page's settings fields show and accept, and a change of port with
// its release and claim at the host.
#include <gtest/gtest.h>

#include <vector>

#include "device/druv_device.h"
#include "plugin/engine/druv_data.h"
#include "plugin/ui/settings_rules.h"
#include "tests/plugin/fakes/stack_object.h"

namespace {

struct Claim {
    int32_t claim;
    MPPortId port;
    IUnknown* owner;
};

class RecordingBroker : public StackObject<IMPPortBroker> {
public:
    virtual ~RecordingBroker() = default;
    HRESULT STDMETHODCALLTYPE Reserved1() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved2() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved4() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ClaimPort(int32_t claim, const MPPortId& port, uint32_t reserved1, REFCLSID ownerClass,
                                        IUnknown* owner, uint32_t reserved2) override {
        EXPECT_EQ(0u, reserved1);
        EXPECT_EQ(0u, reserved2);
        EXPECT_TRUE(IsEqualCLSID(ownerClass, kOwnerClass));
        claims.push_back({claim, port, owner});
        return S_OK;
    }
    static constexpr CLSID kOwnerClass = {0x11111111, 0x2222, 0x3333, {4, 4, 5, 5, 6, 6, 7, 7}};
    std::vector<Claim> claims;
};

MPPortId PortId(uint8_t tag) {
    MPPortId id{};
    id.Data1 = tag;
    id.Data4[7] = tag;
    return id;
}

bool SameId(const MPPortId& a, const MPPortId& b) { return IsEqualGUID(a, b) != 0; }

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

class PortChangeTest : public ::testing::Test {
protected:
    PortChangeTest() {
        entries_[0] = {7, PortId(0xA1), nullptr};
        entries_[1] = {9, PortId(0xB2), nullptr};
        data_.InPorts = {2, entries_};
        data_.OutPorts = {2, entries_};
    }
    bool Change(MPPortDirection direction, size_t position) {
        return ChangePort(data_, direction, position, &broker_, RecordingBroker::kOwnerClass, owner_);
    }

    MPPortEntry entries_[2];
    DRUVData data_;
    RecordingBroker broker_;
    IUnknown* owner_ = reinterpret_cast<IUnknown*>(&broker_);
};

TEST_F(PortChangeTest, StoredPortIsFoundByHandleOrShowsAsNone) {
    EXPECT_EQ(1u, PortListPosition(data_.InPorts, 9));
    EXPECT_EQ(2u, PortListPosition(data_.InPorts, 0));
    EXPECT_EQ(2u, PortListPosition(data_.InPorts, 5));
    EXPECT_EQ(0u, PortListPosition(MPPortList{}, 5));
}

TEST_F(PortChangeTest, ChoosingAPortClaimsItAndChoosingNoneReleasesIt) {
    EXPECT_TRUE(Change(MP_PORT_INPUT, 1));
    EXPECT_EQ(9u, data_.InPort.load());
    EXPECT_TRUE(SameId(PortId(0xB2), data_.InPortId));
    ASSERT_EQ(1u, broker_.claims.size());
    EXPECT_EQ(1, broker_.claims[0].claim);
    EXPECT_TRUE(SameId(PortId(0xB2), broker_.claims[0].port));
    EXPECT_EQ(owner_, broker_.claims[0].owner);
    EXPECT_EQ(0u, data_.OutPort.load()) << "the other direction stays";

    EXPECT_TRUE(Change(MP_PORT_INPUT, 2));
    EXPECT_EQ(0u, data_.InPort.load());
    EXPECT_TRUE(SameId(MPPortId{}, data_.InPortId));
    ASSERT_EQ(2u, broker_.claims.size());
    EXPECT_EQ(0, broker_.claims[1].claim);
    EXPECT_TRUE(SameId(PortId(0xB2), broker_.claims[1].port)) << "the old port is given back";
}

TEST_F(PortChangeTest, SamePortAgainIsReleasedAndClaimedWithoutChange) {
    Change(MP_PORT_OUTPUT, 0);
    broker_.claims.clear();
    EXPECT_FALSE(Change(MP_PORT_OUTPUT, 0));
    ASSERT_EQ(2u, broker_.claims.size());
    EXPECT_EQ(0, broker_.claims[0].claim);
    EXPECT_EQ(1, broker_.claims[1].claim);
    EXPECT_EQ(7u, data_.OutPort.load());

    // "[none]" chosen while no port is held: nothing to give back or take.
    Change(MP_PORT_OUTPUT, 2);
    broker_.claims.clear();
    EXPECT_FALSE(Change(MP_PORT_OUTPUT, 2));
    EXPECT_TRUE(broker_.claims.empty());
}

TEST_F(PortChangeTest, WorksWithoutABroker) {
    EXPECT_TRUE(ChangePort(data_, MP_PORT_INPUT, 0, nullptr, RecordingBroker::kOwnerClass, owner_));
    EXPECT_EQ(7u, data_.InPort.load());
}

TEST(SettingsRulesTest, PortNamesBecomeAtMost255BytesOfText) {
    std::vector<WCHAR> name(300, static_cast<WCHAR>('x'));
    name[1] = 0x00E9;
    name.push_back(0);
    const std::string text = PortNameAsText(name.data());
    EXPECT_EQ(255u, text.size());
    EXPECT_EQ('?', text[1]);
    EXPECT_EQ("", PortNameAsText(nullptr));
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
