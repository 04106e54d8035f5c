// The editor page inside DRUV.dll, created and driven the way the host does:
// registered classes, CoCreateInstance, SetObjects with the filter object,
// Activate in a window. Runs under Wine with a display.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <ocidl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "plugin/engine/transfer_state.h"
#include "plugin/ui/resource_ids.h"
#include "druvhost/host/progress_recorder.h"
#include "druvhost/host/project_stream.h"
#include "tests/plugin/ui/page_host_support.h"

using namespace pagehost;

namespace {

const RECT kPageArea{0, 0, 400, 560};

class PageEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_TRUE(RegisterServer(kPageClass, DRUV_PLUGIN_DLL));
        for (const DeviceFile& device : {MixerExample(), SynthExample(), ChannelDevice(), ProbeBoundaryDevice()})
            ASSERT_TRUE(RegisterDevice(device, DRUV_PLUGIN_DLL));
    }
    void TearDown() override { CoUninitialize(); }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new PageEnvironment);

HRESULT FilterIsDirty(IUnknown* filter) {
    IPersistStream* persist = nullptr;
    if (FAILED(filter->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist)))) return E_FAIL;
    const HRESULT dirty = persist->IsDirty();
    persist->Release();
    return dirty;
}

void ClearFilterDirty(IUnknown* filter) {
    IPersistStream* persist = nullptr;
    ASSERT_EQ(S_OK, filter->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist)));
    auto* stream = new druvhost::MemoryIStream();
    EXPECT_EQ(S_OK, persist->Save(stream, TRUE));
    stream->Release();
    persist->Release();
}

HRESULT PluginCanUnloadNow() {
    HMODULE plugin = GetModuleHandleA("DRUV.dll");
    if (!plugin) return E_FAIL;
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(plugin, "DllCanUnloadNow")));
    return canUnload ? canUnload() : E_FAIL;
}

class PageTest : public ::testing::Test {
protected:
    PageTest() : clock_(100000) {}
    void SetUp() override {
        session_.host.SetPorts(MP_PORT_INPUT, {{11, druvhost::MakePortId(0x11), u"In One"},
                                               {12, druvhost::MakePortId(0x12), u"In Two"}});
        session_.host.SetPorts(MP_PORT_OUTPUT, {{21, druvhost::MakePortId(0x21), u"Out One"}});
        window_ = CreateHostWindow(kPageArea.right, kPageArea.bottom);
        ASSERT_NE(nullptr, window_) << "no window: is a display (Xvfb) running?";
    }
    void TearDown() override {
        session_.ClosePage();
        session_.CloseFilter();
        DestroyWindow(window_);
    }
    void Open(const DeviceFile& device, bool virtualTime = false) {
        ASSERT_TRUE(session_.CreateFilter(device, virtualTime ? &clock_ : nullptr));
        ASSERT_TRUE(session_.OpenPage(window_, kPageArea));
        ASSERT_NE(nullptr, session_.PageWindow());
        Pump(30);
    }
    HWND Page() const { return session_.PageWindow(); }
    HWND Control(int id) const { return session_.Control(id); }
    DRUVData& Data() { return session_.Filter()->Data(); }

    VirtualClock clock_;
    PageSession session_;
    HWND window_ = nullptr;
};

TEST_F(PageTest, MixerPageHasItsControlsTextsAndToolbar) {
    Open(MixerExample());
    for (int id : {IDC_DATA_LIST, IDC_DEVICE_ID, IDC_IN_PORT, IDC_OUT_PORT, IDC_CHANNEL, IDC_DELAY,
                   IDC_CHANNEL_LABEL, IDC_STATUS, IDC_DEVICE_ID_SPIN, IDC_CHANNEL_SPIN, IDC_DELAY_LABEL,
                   IDC_DELAY_SPIN, ID_TOOLBAR})
        EXPECT_NE(nullptr, Control(id)) << "control " << id;
    EXPECT_EQ("Channel", Text(Control(IDC_CHANNEL_LABEL)));
    EXPECT_EQ("Delay", Text(Control(IDC_DELAY_LABEL)));
    EXPECT_EQ("Status ??", Text(Control(IDC_STATUS)));
    EXPECT_FALSE(Shown(Control(IDC_STATUS)));
    EXPECT_FALSE(IsWindowEnabled(Control(IDC_STATUS)));

    // The mixer's messages carry an ID (shown 1 to 16); it listens on no channel.
    EXPECT_TRUE(Shown(Control(IDC_DEVICE_ID)));
    EXPECT_EQ("1", Text(Control(IDC_DEVICE_ID)));
    EXPECT_FALSE(Shown(Control(IDC_CHANNEL)));
    EXPECT_FALSE(Shown(Control(IDC_CHANNEL_SPIN)));
    EXPECT_FALSE(Shown(Control(IDC_CHANNEL_LABEL)));
    EXPECT_EQ("", Text(Control(IDC_CHANNEL)));
    EXPECT_EQ("0", Text(Control(IDC_DELAY)));
    EXPECT_EQ(IDC_DEVICE_ID, GetDlgCtrlID(reinterpret_cast<HWND>(
                                 SendMessageA(Control(IDC_DEVICE_ID_SPIN), UDM_GETBUDDY, 0, 0))));
    EXPECT_EQ(IDC_DELAY, GetDlgCtrlID(reinterpret_cast<HWND>(SendMessageA(Control(IDC_DELAY_SPIN), UDM_GETBUDDY, 0, 0))));

    // Detection is possible (a template is marked for it); no help file.
    EXPECT_EQ((std::vector<int>{ID_CMD_ABOUT, ID_CMD_HELP, ID_CMD_STATUS}), ToolbarCommands(Page()));
    EXPECT_EQ(3, ToolbarImageCount(Page()));
    EXPECT_EQ((std::vector<std::string>{"Current Scene", "Setup"}), ListItems(Control(IDC_DATA_LIST)));
    EXPECT_EQ((std::vector<std::string>{"In One", "In Two", "[none]"}), ComboItems(Control(IDC_IN_PORT)));
    EXPECT_EQ(2, ComboSelection(Control(IDC_IN_PORT)));
    EXPECT_EQ((std::vector<std::string>{"Out One", "[none]"}), ComboItems(Control(IDC_OUT_PORT)));
    EXPECT_EQ(1, ComboSelection(Control(IDC_OUT_PORT)));

    EXPECT_EQ(S_OK, FilterIsDirty(session_.FilterUnknown())) << "opening runs the change rules";
    EXPECT_EQ(S_FALSE, session_.Page()->IsPageDirty());
}

TEST_F(PageTest, ChannelDeviceShowsChannelButNoIdAndItsHelpButton) {
    Open(ChannelDevice());
    EXPECT_FALSE(Shown(Control(IDC_DEVICE_ID)));
    EXPECT_FALSE(IsWindowEnabled(Control(IDC_DEVICE_ID)));
    EXPECT_FALSE(Shown(Control(IDC_DEVICE_ID_SPIN)));
    EXPECT_TRUE(Shown(Control(IDC_CHANNEL)));
    EXPECT_TRUE(Shown(Control(IDC_CHANNEL_LABEL)));
    EXPECT_EQ("1", Text(Control(IDC_CHANNEL)));
    EXPECT_EQ((std::vector<int>{ID_CMD_ABOUT, ID_CMD_HELP, ID_CMD_DEVICE_HELP}), ToolbarCommands(Page()));
    EXPECT_EQ(3, ToolbarImageCount(Page()));
    EXPECT_EQ((std::vector<std::string>{"Kits", "Songs"}), ListItems(Control(IDC_DATA_LIST)));

    // No "ID" label beside the hidden field either.
    for (HWND child = GetWindow(Page(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (Text(child) == "ID") {
            EXPECT_FALSE(Shown(child));
        }
}

TEST_F(PageTest, EditedTextsAreStoredLimitedAndLeaveThePageClean) {
    Open(ChannelDevice());
    SetEditText(Control(IDC_CHANNEL), "10");
    EXPECT_EQ(9, Data().Channel.load());
    SetEditText(Control(IDC_CHANNEL), "17");
    EXPECT_EQ(15, Data().Channel.load());
    EXPECT_EQ("17", Text(Control(IDC_CHANNEL))) << "a limited value does not rewrite the text";
    SetEditText(Control(IDC_CHANNEL), "abc");
    EXPECT_EQ(0, Data().Channel.load());
    SetEditText(Control(IDC_DELAY), "150");
    EXPECT_EQ(100, Data().ItemDelay.load());
    SetEditText(Control(IDC_DELAY), "none");
    EXPECT_EQ(0, Data().ItemDelay.load());

    ClearFilterDirty(session_.FilterUnknown());
    EXPECT_EQ(S_FALSE, FilterIsDirty(session_.FilterUnknown()));
    SetEditText(Control(IDC_DELAY), "42");
    EXPECT_EQ(42, Data().ItemDelay.load());
    EXPECT_EQ(S_OK, FilterIsDirty(session_.FilterUnknown()));
    EXPECT_EQ(S_FALSE, session_.Page()->IsPageDirty());
    EXPECT_EQ(S_OK, session_.Page()->Apply());
}

TEST_F(PageTest, DeviceIdIsShiftedByTheDisplayOffsetAndLimited) {
    Open(MixerExample());
    SetEditText(Control(IDC_DEVICE_ID), "0");
    EXPECT_EQ(0, Data().DeviceId.load());
    SetEditText(Control(IDC_DEVICE_ID), "40");
    EXPECT_EQ(15, Data().DeviceId.load());
    SetEditText(Control(IDC_DEVICE_ID), "7");
    EXPECT_EQ(6, Data().DeviceId.load());
}

TEST_F(PageTest, ArrowKeysStepTheUpDownsWhichStoreTheirPositions) {
    Open(MixerExample());
    HWND id = Control(IDC_DEVICE_ID);
    SendMessageA(id, WM_KEYDOWN, VK_UP, 0);
    SendMessageA(id, WM_KEYUP, VK_UP, 0);
    EXPECT_EQ("2", Text(id));
    EXPECT_EQ(1, Data().DeviceId.load());
    SetEditText(id, "16");
    SendMessageA(id, WM_KEYDOWN, VK_UP, 0);
    SendMessageA(id, WM_KEYUP, VK_UP, 0);
    EXPECT_EQ("1", Text(id)) << "the ID wraps";
    EXPECT_EQ(0, Data().DeviceId.load());

    HWND delay = Control(IDC_DELAY);
    SetEditText(delay, "100");
    SendMessageA(delay, WM_KEYDOWN, VK_UP, 0);
    SendMessageA(delay, WM_KEYUP, VK_UP, 0);
    EXPECT_EQ(100, Data().ItemDelay.load()) << "the delay does not wrap";
    SendMessageA(delay, WM_KEYDOWN, VK_DOWN, 0);
    SendMessageA(delay, WM_KEYUP, VK_DOWN, 0);
    EXPECT_EQ(99, Data().ItemDelay.load());

    // The up-down's own report of a new position stores it as well.
    HWND spin = Control(IDC_DELAY_SPIN);
    SendMessageA(spin, UDM_SETPOS32, 0, 7);
    SendMessageA(Page(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 7), reinterpret_cast<LPARAM>(spin));
    EXPECT_EQ(7, Data().ItemDelay.load());
}

TEST_F(PageTest, ChannelOfADeviceWithoutChannelBecomesZeroWhenThePageOpens) {
    ASSERT_TRUE(session_.CreateFilter(MixerExample()));
    Data().Channel.store(5);
    ASSERT_TRUE(session_.OpenPage(window_, kPageArea));
    EXPECT_EQ(0, Data().Channel.load());
}

TEST_F(PageTest, ChoosingPortsClaimsAndReleasesThemAtTheHost) {
    Open(MixerExample());
    session_.host.ClearClaims();
    ChooseComboItem(Control(IDC_IN_PORT), 1);
    EXPECT_EQ(12u, Data().InPort.load());
    std::vector<druvhosttest::ClaimRecord> claims = session_.host.Claims();
    ASSERT_EQ(1u, claims.size());
    EXPECT_EQ(1, claims[0].claim);
    EXPECT_TRUE(IsEqualGUID(druvhost::MakePortId(0x12), claims[0].port));
    EXPECT_TRUE(IsEqualGUID(session_.Filter()->ClassId(), claims[0].ownerClass));

    ClearFilterDirty(session_.FilterUnknown());
    ChooseComboItem(Control(IDC_IN_PORT), 1);
    EXPECT_EQ(S_FALSE, FilterIsDirty(session_.FilterUnknown())) << "the same port again";
    claims = session_.host.Claims();
    ASSERT_EQ(3u, claims.size());
    EXPECT_EQ(0, claims[1].claim);
    EXPECT_EQ(1, claims[2].claim);

    ChooseComboItem(Control(IDC_IN_PORT), 2);
    EXPECT_EQ(0u, Data().InPort.load());
    EXPECT_TRUE(IsEqualGUID(MPPortId{}, Data().InPortId));
    EXPECT_EQ(S_OK, FilterIsDirty(session_.FilterUnknown()));
    EXPECT_EQ(0, session_.host.ClaimBalance(druvhost::MakePortId(0x12)));

    ChooseComboItem(Control(IDC_OUT_PORT), 0);
    EXPECT_EQ(21u, Data().OutPort.load());
    EXPECT_EQ(1, session_.host.ClaimBalance(druvhost::MakePortId(0x21)));
}

TEST_F(PageTest, PortNotificationRefillsTheListsAndAVanishedPortShowsAsNone) {
    Open(MixerExample());
    ChooseComboItem(Control(IDC_IN_PORT), 0);
    session_.host.SetPorts(MP_PORT_INPUT, {{12, druvhost::MakePortId(0x12), u"In Two"},
                                           {13, druvhost::MakePortId(0x13), u"In Three"}});
    session_.host.FirePortsChanged();
    // The notification is posted to the page, which refills on its own thread.
    EXPECT_TRUE(PumpUntil([this] { return ComboItems(Control(IDC_IN_PORT)).front() == "In Two"; }));
    EXPECT_EQ((std::vector<std::string>{"In Two", "In Three", "[none]"}), ComboItems(Control(IDC_IN_PORT)));
    EXPECT_EQ(2, ComboSelection(Control(IDC_IN_PORT)));
    EXPECT_EQ(0u, Data().InPort.load());

    ChooseComboItem(Control(IDC_IN_PORT), 1);
    session_.host.FirePortsChanged();
    Pump(60);
    EXPECT_EQ(1, ComboSelection(Control(IDC_IN_PORT))) << "a port still listed stays chosen";
}

TEST_F(PageTest, DetectionShowsOnlineAfterAReplyAndOfflineAfterTheDeadline) {
    Open(MixerExample(), true);
    ChooseComboItem(Control(IDC_IN_PORT), 0);
    ChooseComboItem(Control(IDC_OUT_PORT), 0);
    EXPECT_TRUE(LooksRed(StatusLight(Page()))) << "Offline until a detection is answered";

    session_.midi.Clear();
    Press(Page(), ID_CMD_STATUS);
    const std::vector<druvhosttest::SentMessage> sent = session_.midi.Sent();
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(21u, sent[0].event.Port);
    EXPECT_EQ((std::vector<uint8_t>{0xF0, 0x7D, 0x00, 0x31, 0x11, 0x00, 0xF7}), sent[0].wire);
    EXPECT_TRUE(DetectionWaits(session_.Filter()->State()));

    session_.Receive(12, {0xF0, 0x7D, 0x00, 0x31, 0x12, 0x00, 0xF7});  // another port: no answer
    Pump(60);
    EXPECT_TRUE(DetectionWaits(session_.Filter()->State()));
    session_.Receive(11, {0xF0, 0x7D, 0x00, 0x31, 0x12, 0x00, 0xF7});
    EXPECT_TRUE(PumpUntil([this] { return !DetectionWaits(session_.Filter()->State()); }));
    const COLORREF online = StatusLight(Page());
    EXPECT_TRUE(LooksGreen(online)) << std::hex << online;

    Press(Page(), ID_CMD_STATUS);
    clock_.Advance(5000);
    EXPECT_TRUE(PumpUntil([this] { return !DetectionWaits(session_.Filter()->State()); }));
    const COLORREF offline = StatusLight(Page());
    EXPECT_TRUE(LooksRed(offline)) << std::hex << offline;
}

// Cancels the transfer it reports on at its first report.
class CancellingSink : public IMPProgressSink {
public:
    explicit CancellingSink(IMPServices2* services) : services_(services) {}
    virtual ~CancellingSink() = default;
    HRESULT STDMETHODCALLTYPE Progress(void*, uint32_t, uint32_t, const WCHAR*) override {
        services_->Cancel();
        return S_OK;
    }

private:
    IMPServices2* services_;
};

// The mixer's page with Setup holding a dump, ports chosen and the opening
// detections over, ready for a receive of "Scene only" (mask 2) from a
// silent instrument in virtual time.
class PageTransferTest : public PageTest {
protected:
    void OpenWithData() {
        Open(MixerExample(), true);
        ChooseComboItem(Control(IDC_IN_PORT), 0);
        ChooseComboItem(Control(IDC_OUT_PORT), 0);
        clock_.Advance(5000);
        ASSERT_TRUE(PumpUntil([this] { return !DetectionWaits(session_.Filter()->State()); }));
        DumpItem& setup = *Data().Items[1];
        ASSERT_TRUE(setup.Data());
        const uint8_t dump[] = {0xF0, 0x7D, 0x00, 0x31, 0x12, 0x01, 0xF7};
        std::memcpy(setup.Data(), dump, sizeof dump);
        setup.Length.store(sizeof dump);
        ASSERT_EQ(S_OK, session_.FilterUnknown()->QueryInterface(IID_IMPServices2,
                                                                 reinterpret_cast<void**>(&services_)));
    }
    void TearDown() override {
        if (services_) services_->Release();
        PageTest::TearDown();
    }
    IMPServices2* services_ = nullptr;
};

TEST_F(PageTransferTest, ListIsRefreshedAfterAReceiveUnlessItWasCancelled) {
    OpenWithData();
    EXPECT_EQ((std::vector<std::string>{"Current Scene", "Setup"}), ListItems(Control(IDC_DATA_LIST)));

    druvhost::ProgressRecorder progress;
    // "Scene only": the instrument stays silent, the request times out.
    EXPECT_EQ(S_OK, services_->Transfer(0, &progress, 0x2));
    const std::vector<std::string> refreshed{"Current Scene", "Setup *"};
    EXPECT_TRUE(PumpUntil([&] { return ListItems(Control(IDC_DATA_LIST)) == refreshed; }));
    EXPECT_EQ(refreshed, ListItems(Control(IDC_DATA_LIST)));

    Data().Items[1]->Length.store(0);
    CancellingSink cancelling(services_);
    EXPECT_EQ(S_OK, services_->Transfer(0, &cancelling, 0x2));
    Pump(60);
    EXPECT_EQ((std::vector<std::string>{"Current Scene", "Setup *"}), ListItems(Control(IDC_DATA_LIST)))
        << "a cancelled receive leaves the list as it was";
}

TEST_F(PageTest, DeviceWithoutDetectionHasNoStatusPictureOrTimer) {
    Open(ChannelDevice());
    session_.midi.Clear();
    Pump(60);
    EXPECT_TRUE(session_.midi.Sent().empty());
    const COLORREF colour = StatusLight(Page());
    EXPECT_FALSE(LooksRed(colour) || LooksGreen(colour)) << std::hex << colour;
}

// Hosts give the page the area they have, not the size of its template, and
// may place it anywhere in their frame: at every size the toolbar keeps its
// margin for the status picture, and every move leaves the picture's corner
// to be painted again.
TEST_F(PageTest, StatusPictureCornerIsKeptAndRepaintedAtAnySizeAndPlace) {
    const RECT areas[] = {{0, 0, 400, 560}, {8, 30, 308, 530}, {4, 24, 524, 600}, {0, 0, 360, 400}, {20, 40, 420, 600}};
    // A frame larger than every area, so that the whole page stays visible.
    DestroyWindow(window_);
    window_ = CreateHostWindow(640, 720);
    ASSERT_NE(nullptr, window_);
    Open(MixerExample());
    for (const RECT& area : areas) {
        const int width = area.right - area.left;
        Pump(10);
        ASSERT_EQ(S_OK, session_.Page()->Move(&area));
        HRGN pending = CreateRectRgn(0, 0, 0, 0);
        const int kind = GetUpdateRgn(Page(), pending, FALSE);
        const RECT picture{width - 72, 4, width - 8, 20};
        EXPECT_TRUE(kind != NULLREGION && kind != ERROR && RectInRegion(pending, &picture))
            << "the status picture's corner is not repainted after a move to (" << area.left << ", " << area.top
            << "), width " << width;
        DeleteObject(pending);
        Pump(10);
        RECT client{};
        GetClientRect(Page(), &client);
        RECT bar{};
        GetWindowRect(Control(ID_TOOLBAR), &bar);
        MapWindowPoints(nullptr, Page(), reinterpret_cast<POINT*>(&bar), 2);
        EXPECT_EQ(width, client.right);
        EXPECT_EQ(client.right - 68, bar.right) << "the toolbar's right edge at page width " << width;
    }
}

TEST_F(PageTest, DeactivateEndsTheDetectionAndThePageCanOpenAgain) {
    Open(MixerExample(), true);
    Press(Page(), ID_CMD_STATUS);
    EXPECT_TRUE(DetectionWaits(session_.Filter()->State()));
    EXPECT_EQ(S_OK, session_.Page()->Deactivate());
    EXPECT_FALSE(DetectionWaits(session_.Filter()->State()));
    EXPECT_EQ(nullptr, session_.PageWindow());
    EXPECT_EQ(E_UNEXPECTED, session_.Page()->Deactivate());
    EXPECT_EQ(E_UNEXPECTED, session_.Page()->Show(SW_SHOW));
    EXPECT_EQ(E_UNEXPECTED, session_.Page()->Move(&kPageArea));

    ASSERT_EQ(S_OK, session_.Page()->Activate(window_, &kPageArea, FALSE));
    EXPECT_EQ(E_UNEXPECTED, session_.Page()->Activate(window_, &kPageArea, FALSE));
    EXPECT_EQ(E_POINTER, session_.Page()->Activate(window_, nullptr, FALSE));
    EXPECT_EQ(E_INVALIDARG, session_.Page()->Show(SW_MINIMIZE));
    EXPECT_EQ(S_OK, session_.Page()->Show(SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(session_.PageWindow()));
    EXPECT_EQ(S_OK, session_.Page()->Show(SW_SHOWNORMAL));
    EXPECT_TRUE(IsWindowVisible(session_.PageWindow()));
}

// The status pictures belong to the open page windows: the last one to close
// frees them, and the next page loads them again.
TEST_F(PageTest, StatusPictureIsThereAgainAfterEveryPageHasClosed) {
    Open(MixerExample(), true);
    const COLORREF before = StatusLight(Page());
    EXPECT_TRUE(LooksRed(before)) << std::hex << before;
    EXPECT_EQ(0u, session_.ClosePage());
    ASSERT_TRUE(session_.OpenPage(window_, kPageArea));
    Pump(30);
    const COLORREF after = StatusLight(Page());
    EXPECT_TRUE(LooksRed(after)) << "the Offline picture of a page opened after the others closed: " << std::hex
                                 << after;
}

TEST_F(PageTest, EveryReferenceIsGivenBackAndThePluginMayUnload) {
    Open(MixerExample());
    ChooseComboItem(Control(IDC_IN_PORT), 0);
    EXPECT_EQ(S_FALSE, PluginCanUnloadNow()) << "a filter lives";
    EXPECT_EQ(0u, session_.ClosePage());
    session_.host.FirePortsChanged();  // reaches the filter only: the page has let go
    EXPECT_EQ(0u, session_.CloseFilter());
    EXPECT_EQ(S_OK, PluginCanUnloadNow());
    EXPECT_EQ(0u, session_.host.References());
    EXPECT_EQ(0u, session_.midi.References());
    EXPECT_EQ(0, session_.host.ClaimBalance(druvhost::MakePortId(0x11)));
}

std::vector<std::string> ExportedNames(HMODULE module) {
    std::vector<std::string> names;
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (!entry.VirtualAddress) return names;
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    const auto* nameOffsets = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.push_back(reinterpret_cast<const char*>(base + nameOffsets[i]));
    return names;
}

TEST_F(PageTest, PluginExportsOnlyTheComponentServerEntries) {
    IPropertyPage* page = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(kPageClass, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                     reinterpret_cast<void**>(&page)));
    HMODULE plugin = GetModuleHandleA("DRUV.dll");
    ASSERT_NE(nullptr, plugin);
    EXPECT_EQ((std::vector<std::string>{"DllCanUnloadNow", "DllGetClassObject"}), ExportedNames(plugin));
    page->Release();
}

TEST_F(PageTest, PageReleasedWhileActiveTakesItsWindowAlong) {
    Open(MixerExample());
    ChooseComboItem(Control(IDC_IN_PORT), 0);
    ASSERT_EQ(11u, Data().InPort.load());
    HWND page = Page();
    ASSERT_TRUE(IsWindow(page));
    IPropertyPage* object = session_.TakePage();
    EXPECT_EQ(0u, object->Release()) << "released without Deactivate";
    EXPECT_FALSE(IsWindow(page));
    Pump(60);
    // The chosen port comes back under another handle: the filter, left
    // without its page, still follows the host's new lists.
    session_.host.SetPorts(MP_PORT_INPUT, {{13, druvhost::MakePortId(0x11), u"In One"}});
    session_.host.FirePortsChanged();
    EXPECT_EQ(13u, Data().InPort.load());
    EXPECT_TRUE(IsEqualGUID(druvhost::MakePortId(0x11), Data().InPortId));
}

TEST_F(PageTest, PageOutlivingItsFilterStopsActingOnIt) {
    Open(MixerExample(), true);
    HWND page = Page();
    EXPECT_EQ(0u, session_.CloseFilter()) << "the host lets go of the filter first";
    // Edits, buttons and the detection timer of the open page find no filter.
    SetEditText(Control(IDC_DEVICE_ID), "5");
    SetEditText(Control(IDC_DELAY), "42");
    Press(page, ID_CMD_STATUS);
    Pump(60);
    EXPECT_TRUE(IsWindow(page));
    EXPECT_EQ(S_OK, session_.Page()->Deactivate());
    EXPECT_EQ(E_UNEXPECTED, session_.Page()->Activate(window_, &kPageArea, FALSE)) << "nothing to show";
    EXPECT_EQ(0u, session_.ClosePage());
    EXPECT_EQ(S_OK, PluginCanUnloadNow());
}

TEST_F(PageTest, PageObjectAnswersAsAPropertyPageOnly) {
    IPropertyPage* page = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(kPageClass, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                     reinterpret_cast<void**>(&page)));
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, page->QueryInterface(IID_IPersistStream, &other));
    EXPECT_EQ(nullptr, other);
    EXPECT_EQ(E_FAIL, page->SetObjects(0, nullptr));
    EXPECT_EQ(E_POINTER, page->SetObjects(1, nullptr));
    IUnknown* two[] = {page, page};
    EXPECT_EQ(E_UNEXPECTED, page->SetObjects(2, two));
    EXPECT_EQ(E_UNEXPECTED, page->SetPageSite(nullptr));
    EXPECT_EQ(E_NOTIMPL, page->Help(nullptr));
    EXPECT_EQ(E_NOTIMPL, page->TranslateAccelerator(nullptr));
    EXPECT_EQ(0u, page->Release());
}

// Only this process's windows: tests running beside this one open and close
// windows on the same desktop.
BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int TopLevelWindows() {
    int count = 0;
    EnumWindows(&CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST_F(PageTest, PageInfoMeasuresAThrowawayWindowBeforeActivate) {
    IPropertyPage* page = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(kPageClass, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                     reinterpret_cast<void**>(&page)));
    const int before = TopLevelWindows();
    PROPPAGEINFO info{};
    ASSERT_EQ(S_OK, page->GetPageInfo(&info));
    EXPECT_EQ(before, TopLevelWindows());
    ASSERT_NE(nullptr, info.pszTitle);
    EXPECT_EQ(std::wstring(L"DRUV Librarian"), std::wstring(info.pszTitle));
    EXPECT_GT(info.size.cx, 200);
    EXPECT_GT(info.size.cy, info.size.cx) << "the page is taller than wide";
    EXPECT_EQ(nullptr, info.pszHelpFile);
    EXPECT_EQ(0u, info.dwHelpContext);
    CoTaskMemFree(info.pszTitle);
    EXPECT_EQ(E_POINTER, page->GetPageInfo(nullptr));
    page->Release();
}

TEST_F(PageTest, ToolTipsComeFromTheStringResources) {
    Open(MixerExample());
    const std::vector<std::pair<UINT_PTR, std::string>> expected{
        {ID_CMD_ABOUT, "Display information on DRUV\nAbout..."},
        {ID_CMD_HELP, "Help"},
        {ID_CMD_DEVICE_HELP, "Display help for the specific DRUV Device\nDevice Help..."},
        {ID_CMD_STATUS, ""}};
    for (const auto& [id, text] : expected) {
        NMTTDISPINFOA info{};
        info.hdr.hwndFrom = Control(ID_TOOLBAR);
        info.hdr.idFrom = id;
        info.hdr.code = TTN_GETDISPINFOA;
        SendMessageA(Page(), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
        ASSERT_NE(nullptr, info.lpszText);
        EXPECT_EQ(text, std::string(info.lpszText)) << "tool " << id;
    }
}

HWND about_box = nullptr;
std::string about_text;

void CALLBACK CloseAboutBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = FindWindowA("#32770", "DRUV Librarian");
    if (!box) return;
    KillTimer(nullptr, timer);
    about_box = box;
    about_text = Text(GetDlgItem(box, IDC_ABOUT_TEXT));
    PostMessageA(box, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
}

TEST_F(PageTest, AboutBoxNamesTheDeviceTemplateAndClosesOnAMousePress) {
    Open(MixerExample());
    about_box = nullptr;
    SetTimer(nullptr, 0, 30, &CloseAboutBox);
    Press(Page(), ID_CMD_ABOUT);  // returns once the box is closed
    ASSERT_NE(nullptr, about_box);
    EXPECT_EQ("Brindle & Koss SD-16 Digital Mixer Template v1.0", about_text);
    EXPECT_FALSE(IsWindow(about_box));
}

TEST_F(PageTest, TwoDevicesInOneProcessEachShowTheirOwnButtons) {
    Open(MixerExample());
    HWND second = CreateHostWindow(kPageArea.right, kPageArea.bottom);
    PageSession other;
    ASSERT_TRUE(other.CreateFilter(ChannelDevice()));
    ASSERT_TRUE(other.OpenPage(second, kPageArea));
    EXPECT_EQ((std::vector<int>{ID_CMD_ABOUT, ID_CMD_HELP, ID_CMD_STATUS}), ToolbarCommands(Page()));
    EXPECT_EQ((std::vector<int>{ID_CMD_ABOUT, ID_CMD_HELP, ID_CMD_DEVICE_HELP}), ToolbarCommands(other.PageWindow()));
    HIMAGELIST mine = reinterpret_cast<HIMAGELIST>(SendMessageA(Control(ID_TOOLBAR), TB_GETIMAGELIST, 0, 0));
    HIMAGELIST theirs =
        reinterpret_cast<HIMAGELIST>(SendMessageA(other.Control(ID_TOOLBAR), TB_GETIMAGELIST, 0, 0));
    EXPECT_NE(mine, theirs);
    EXPECT_EQ(0u, other.ClosePage());
    EXPECT_EQ(0u, other.CloseFilter());
    DestroyWindow(second);
}

// Devices the page cannot detect: nothing may hold the instance for a reply
// that was never asked for, whatever the tick count says (past 2^31 a
// deadline of 0 counts as ahead) and whatever the template's size.
TEST_F(PageTest, DeviceThatCannotBeDetectedNeverHoldsTransfersBack) {
    for (const DeviceFile& device : {ChannelDevice(), ProbeBoundaryDevice()}) {
        for (uint32_t tick : {100000u, 0x90000000u}) {
            clock_.SetTick(tick);
            Open(device, true);
            const std::vector<int> commands = ToolbarCommands(Page());
            EXPECT_EQ(0, std::count(commands.begin(), commands.end(), ID_CMD_STATUS)) << "no detection on the page";
            if (Shown(Control(IDC_CHANNEL))) SetEditText(Control(IDC_CHANNEL), "5");
            if (Shown(Control(IDC_DEVICE_ID))) SetEditText(Control(IDC_DEVICE_ID), "3");
            ChooseComboItem(Control(IDC_OUT_PORT), 0);
            Pump(60);
            EXPECT_EQ(static_cast<int>(Activity::Idle), static_cast<int>(session_.Filter()->State().activity.load()))
                << device.path << " at " << std::hex << tick;

            IMPServices2* services = nullptr;
            ASSERT_EQ(S_OK, session_.FilterUnknown()->QueryInterface(IID_IMPServices2,
                                                                     reinterpret_cast<void**>(&services)));
            druvhost::ProgressRecorder progress;
            EXPECT_EQ(S_OK, services->Transfer(1, &progress, 0)) << device.path << " at " << std::hex << tick;
            services->Release();
            session_.ClosePage();
            session_.CloseFilter();
        }
    }
}

struct ReceiveJob {
    IMPServices2* services;
    HRESULT result;
};

// A thread of the system's own, so that the UI thread can wait on its handle.
DWORD WINAPI RunReceiveJob(void* parameter) {
    auto* job = static_cast<ReceiveJob*>(parameter);
    druvhost::ProgressRecorder progress;
    job->result = job->services->Transfer(0, &progress, 0x2);
    return 0;
}

// A host that runs the transfer on a worker and waits for it on its UI
// thread, dispatching nothing meanwhile: the page's refresh must not need
// that thread until the transfer has returned.
TEST_F(PageTransferTest, TransferOnAWorkerEndsWhileTheUiThreadWaitsWithoutDispatching) {
    OpenWithData();
    ReceiveJob work{services_, E_UNEXPECTED};
    HANDLE worker = CreateThread(nullptr, 0, &RunReceiveJob, &work, 0, nullptr);
    ASSERT_NE(nullptr, worker);
    const DWORD waited = WaitForSingleObject(worker, 20000);
    EXPECT_EQ(WAIT_OBJECT_0, waited) << "the transfer waited for the UI thread";
    // A worker stuck on this thread is let go, so that the test can end.
    while (WaitForSingleObject(worker, 0) != WAIT_OBJECT_0) Pump(50);
    CloseHandle(worker);
    EXPECT_EQ(S_OK, work.result);
    const std::vector<std::string> refreshed{"Current Scene", "Setup *"};
    EXPECT_TRUE(PumpUntil([&] { return ListItems(Control(IDC_DATA_LIST)) == refreshed; }));
    EXPECT_EQ(refreshed, ListItems(Control(IDC_DATA_LIST)));
}

// Holds the transfer at its first report until the test lets it go on.
class HoldingSink : public IMPProgressSink {
public:
    HoldingSink() : reached_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), go_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    virtual ~HoldingSink() {
        CloseHandle(reached_);
        CloseHandle(go_);
    }
    HRESULT STDMETHODCALLTYPE Progress(void*, uint32_t, uint32_t, const WCHAR*) override {
        SetEvent(reached_);
        WaitForSingleObject(go_, 20000);
        return S_OK;
    }
    bool WaitReached() { return WaitForSingleObject(reached_, 20000) == WAIT_OBJECT_0; }
    void Go() { SetEvent(go_); }

private:
    HANDLE reached_;
    HANDLE go_;
};

TEST_F(PageTransferTest, PageReleasedDuringATransferIsNotToldOfItsEnd) {
    OpenWithData();
    HoldingSink sink;
    HRESULT result = E_UNEXPECTED;
    std::thread worker([&] { result = services_->Transfer(0, &sink, 0x2); });
    ASSERT_TRUE(sink.WaitReached());
    EXPECT_EQ(0u, session_.ClosePage()) << "the page goes while the receive runs";
    sink.Go();
    worker.join();
    EXPECT_EQ(S_OK, result);
    Pump(60);
    EXPECT_EQ(Activity::Idle, session_.Filter()->State().activity.load());
}

// An object that answers the filter's host interfaces but is not our filter.
// It lives on the stack and is never deleted through an interface, which the
// system's interfaces do not allow for anyway (they declare no destructor).
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class ForeignObject : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMPInitialise)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    ULONG references = 1;
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

TEST_F(PageTest, ObjectThatIsNotOurFilterIsRefused) {
    IPropertyPage* page = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(kPageClass, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                     reinterpret_cast<void**>(&page)));
    ForeignObject foreign;
    IUnknown* objects[] = {&foreign};
    EXPECT_EQ(E_NOINTERFACE, page->SetObjects(1, objects));
    EXPECT_EQ(1u, foreign.references) << "no reference kept";
    EXPECT_EQ(E_UNEXPECTED, page->Activate(window_, &kPageArea, FALSE)) << "no filter, no window";
    EXPECT_EQ(0u, page->Release());
}

}  // namespace
