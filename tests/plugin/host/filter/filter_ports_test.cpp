// Choosing a port from the host's lists and the claims the filter holds at
// the host's broker: every port in use is claimed once, and only what was
// claimed is released.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin/engine/druv_data.h"
#include "plugin/host/filter_ports.h"
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

class PortChangeTest : public ::testing::Test {
protected:
    PortChangeTest() {
        entries_[0] = {7, PortId(0xA1), nullptr};
        entries_[1] = {9, PortId(0xB2), nullptr};
        data_.InPorts = {2, entries_};
        data_.OutPorts = {2, entries_};
    }
    // As the filter does it when the page's list changes.
    bool Change(MPPortDirection direction, size_t position, IMPPortBroker* broker) {
        bool changed = SelectPort(data_, direction, position);
        if (broker) MakeClaimCalls(broker, claims_.Renew(data_, direction), RecordingBroker::kOwnerClass, owner_);
        return changed;
    }
    bool Change(MPPortDirection direction, size_t position) { return Change(direction, position, &broker_); }

    MPPortEntry entries_[2];
    DRUVData data_;
    RecordingBroker broker_;
    ClaimedPorts claims_;
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
    EXPECT_TRUE(Change(MP_PORT_INPUT, 0, nullptr));
    EXPECT_EQ(7u, data_.InPort.load());
}

TEST(PortNameTest, PortNamesBecomeAtMost255BytesOfUtf8) {
    std::vector<WCHAR> name(300, static_cast<WCHAR>('x'));
    name[1] = 0x00E9;
    name.push_back(0);
    const std::string text = PortNameText(name.data());
    EXPECT_EQ(255u, text.size());
    EXPECT_EQ("x\xC3\xA9x", text.substr(0, 4));
    EXPECT_EQ("", PortNameText(nullptr));

    // A character is never cut in half at the limit, and half a surrogate
    // pair becomes the replacement character.
    std::vector<WCHAR> wide(254, static_cast<WCHAR>('y'));
    wide.push_back(0x00E9);
    wide.push_back(0);
    EXPECT_EQ(std::string(254, 'y'), PortNameText(wide.data()));
    const WCHAR pairs[] = {0xD83C, 0xDFB9, 0xD83C, 'a', 0};
    EXPECT_EQ("\xF0\x9F\x8E\xB9\xEF\xBF\xBD" "a", PortNameText(pairs));
}

}  // namespace
