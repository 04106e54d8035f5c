#include "tests/plugin/ui/page_host_support.h"

#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/guid.h"
#include "plugin/ui/resource_ids.h"
#include "druvhost/host/host_event_list.h"
#include "tests/support/test_paths.h"

namespace pagehost {

namespace {

// {7C0D2E51-93A4-4B7E-8F26-5A1D3C9B0E47} and {E2A7C4D9-5B13-4F8A-A6E0-39D71B5C82F4}
constexpr CLSID kMixerClass = {0x7C0D2E51, 0x93A4, 0x4B7E, {0x8F, 0x26, 0x5A, 0x1D, 0x3C, 0x9B, 0x0E, 0x47}};
constexpr CLSID kSynthClass = {0xE2A7C4D9, 0x5B13, 0x4F8A, {0xA6, 0xE0, 0x39, 0xD7, 0x1B, 0x5C, 0x82, 0xF4}};
// {6A1F0C3E-2B7D-4E59-9C84-D03B5E7A1F26}
constexpr CLSID kChannelClass = {0x6A1F0C3E, 0x2B7D, 0x4E59, {0x9C, 0x84, 0xD0, 0x3B, 0x5E, 0x7A, 0x1F, 0x26}};

constexpr char kChannelDefinition[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<DRUVDevice>
  <DeviceGUID>6A1F0C3E-2B7D-4E59-9C84-D03B5E7A1F26</DeviceGUID>
  <EditorGUID>0B5E7A1F-6A1F-4C3E-8B7D-2E599C84D03B</EditorGUID>
  <Company>Quillon</Company>
  <Product>Drum Brain</Product>
  <Version>2.1</Version>
  <HelpFile>guide.pdf</HelpFile>
  <SysXChanOfs>0</SysXChanOfs>
  <SysXChanMin>0</SysXChanMin>
  <SysXChanMax>15</SysXChanMax>
  <SysXDisplayOfs>1</SysXDisplayOfs>
  <MidiChannel>1</MidiChannel>
  <Template>Kits<Size>6000</Size><NumLoops>1</NumLoops><Request>F0 7D 40 10 F7 </Request></Template>
  <Template>Songs<Size>3000</Size><NumLoops>1</NumLoops><Request>F0 7D 40 11 F7 </Request></Template>
</DRUVDevice>
)";

constexpr CLSID kProbeBoundaryClass = {0x3D6B8E21, 0x7C4A, 0x4F18, {0xA2, 0x5E, 0x91, 0x0C, 0x6B, 0x3F, 0x48, 0xD7}};
// Its only template with a request would probe with a reply of exactly 2000
// bytes (Size 1998, one loop, one spare).
constexpr char kProbeBoundaryDefinition[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<DRUVDevice>
  <DeviceGUID>3D6B8E21-7C4A-4F18-A25E-910C6B3F48D7</DeviceGUID>
  <EditorGUID>48D73D6B-8E21-4C4A-8F18-A25E910C6B3F</EditorGUID>
  <Company>Quillon</Company>
  <Product>Border Unit</Product>
  <Version>1.0</Version>
  <SysXChanOfs>2</SysXChanOfs>
  <SysXChanMin>0</SysXChanMin>
  <SysXChanMax>15</SysXChanMax>
  <SysXDisplayOfs>1</SysXDisplayOfs>
  <MidiChannel>0</MidiChannel>
  <Template>Bulk<Size>1998</Size><NumLoops>1</NumLoops><Request>F0 7D 00 10 F7 </Request></Template>
</DRUVDevice>
)";

// Test processes run side by side: a reader must never see half a file, so
// a definition is written beside its place and moved there whole.
DeviceFile WrittenDevice(const CLSID& classId, const char* fileName, const std::string& definition) {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + fileName;
    std::ifstream existing(path, std::ios::binary);
    const std::string current((std::istreambuf_iterator<char>(existing)), std::istreambuf_iterator<char>());
    existing.close();
    if (current != definition) {
        const std::string scratch = path + "." + std::to_string(GetCurrentProcessId()) + ".tmp";
        std::ofstream(scratch, std::ios::binary) << definition;
        MoveFileExA(scratch.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    return {classId, path};
}

std::string ClassText(const CLSID& classId) {
    char text[kBracedGuidLength + 1] = {};
    FormatBracedGuid(classId, text, sizeof text);
    return text;
}

bool SetText(HKEY root, const std::string& path, const char* name, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG status = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

std::string PluginKey(const CLSID& classId) {
    return "Software\\Tavrel\\ZN3\\Plugins\\" + ClassText(classId);
}

}  // namespace

std::string WindowsPath(const std::string& path) {
    std::string windows = path;
    for (char& c : windows)
        if (c == '/') c = '\\';
    if (!windows.empty() && windows[0] == '\\') windows = "Z:" + windows;
    return windows;
}

bool RegisterServer(const CLSID& classId, const std::string& dllPath) {
    const std::string key = "CLSID\\" + ClassText(classId) + "\\InprocServer32";
    return SetText(HKEY_CLASSES_ROOT, key, nullptr, WindowsPath(dllPath)) &&
           SetText(HKEY_CLASSES_ROOT, key, "ThreadingModel", "Both");
}

bool RegisterDevice(const DeviceFile& device, const std::string& dllPath) {
    return RegisterServer(device.classId, dllPath) &&
           SetText(HKEY_LOCAL_MACHINE, PluginKey(device.classId), "DevicePath", device.path);
}

bool RemoveDeviceKey(const CLSID& classId) {
    return RegDeleteKeyA(HKEY_LOCAL_MACHINE, PluginKey(classId).c_str()) == ERROR_SUCCESS;
}

DeviceFile MixerExample() {
    return {kMixerClass, WindowsPath(druvtest::ExamplesDir() + "/brindle-koss-sd16-mixer.druv")};
}

DeviceFile SynthExample() {
    return {kSynthClass, WindowsPath(druvtest::ExamplesDir() + "/velmora-aster8-synth.druv")};
}

DeviceFile ChannelDevice() {
    return WrittenDevice(kChannelClass, "druv-page-channel-device.druv", kChannelDefinition);
}

DeviceFile ProbeBoundaryDevice() {
    return WrittenDevice(kProbeBoundaryClass, "druv-page-probe-boundary.druv", kProbeBoundaryDefinition);
}

HWND CreateHostWindow(int width, int height) {
    static const ATOM hostClass = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = "DruvPageHost";
        return RegisterClassA(&windowClass);
    }();
    if (!hostClass) return nullptr;
    HWND window = CreateWindowExA(WS_EX_CONTROLPARENT, "DruvPageHost", "DRUV page host", WS_POPUP | WS_CLIPCHILDREN,
                                  0, 0, width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    // Shown without activation: a window manager need not know it, so that
    // destroying it does not wait for one to let go (there is none under Xvfb).
    if (window) ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

void Pump(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(1);
    } while (GetTickCount() - start < milliseconds);
}

PageSession::~PageSession() {
    ClosePage();
    CloseFilter();
}

bool PageSession::CreateFilter(const DeviceFile& device, Clock* clock) {
    if (FAILED(CoCreateInstance(device.classId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                reinterpret_cast<void**>(&filter_unknown_))))
        return false;
    IMPInitialise* initialise = nullptr;
    if (FAILED(filter_unknown_->QueryInterface(IID_IMPInitialise, reinterpret_cast<void**>(&initialise))))
        return false;
    filter_ = static_cast<CMidiFilter*>(initialise);
    if (clock) filter_->Data().SetTransferClock(*clock);
    uint32_t flags = 0;
    const HRESULT result = initialise->Initialise(host.Unknown(), &midi, 0, 0, &flags);
    initialise->Release();
    return SUCCEEDED(result);
}

bool PageSession::OpenPage(HWND parent, const RECT& area) {
    parent_ = parent;
    if (FAILED(CoCreateInstance(kPageClass, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                reinterpret_cast<void**>(&page_))))
        return false;
    IUnknown* objects[] = {filter_unknown_};
    if (FAILED(page_->SetObjects(1, objects))) return false;
    return SUCCEEDED(page_->Activate(parent, &area, FALSE));
}

ULONG PageSession::ClosePage() {
    if (!page_) return 0;
    if (PageWindow()) page_->Deactivate();
    const ULONG left = page_->Release();
    page_ = nullptr;
    return left;
}

ULONG PageSession::CloseFilter() {
    if (!filter_unknown_) return 0;
    IMPInitialise* initialise = nullptr;
    if (SUCCEEDED(filter_unknown_->QueryInterface(IID_IMPInitialise, reinterpret_cast<void**>(&initialise)))) {
        initialise->Terminate();
        initialise->Release();
    }
    const ULONG left = filter_unknown_->Release();
    filter_unknown_ = nullptr;
    filter_ = nullptr;
    return left;
}

void PageSession::Receive(uint32_t port, const std::vector<uint8_t>& message) {
    druvhost::HostEventList events;
    events.AddMessage(port, message.data(), message.size());
    IMPEventFilter* filter = nullptr;
    if (FAILED(filter_unknown_->QueryInterface(IID_IMPEventFilter, reinterpret_cast<void**>(&filter)))) return;
    filter->ProcessEvents(&events);
    filter->Release();
}

HWND PageSession::PageWindow() const {
    return parent_ ? GetWindow(parent_, GW_CHILD) : nullptr;
}

std::string Text(HWND control) {
    char text[512] = {};
    GetWindowTextA(control, text, sizeof text);
    return text;
}

bool Shown(HWND control) {
    return control && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[512] = {};
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

int ComboSelection(HWND combo) {
    return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

std::vector<std::string> ListItems(HWND list) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[512] = {};
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

std::vector<int> ToolbarCommands(HWND page) {
    std::vector<int> commands;
    HWND toolbar = GetDlgItem(page, ID_TOOLBAR);
    const LRESULT count = SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        TBBUTTON button{};
        SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        commands.push_back(button.idCommand);
    }
    return commands;
}

int ToolbarImageCount(HWND page) {
    HWND toolbar = GetDlgItem(page, ID_TOOLBAR);
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(toolbar, TB_GETIMAGELIST, 0, 0));
    return images ? ImageList_GetImageCount(images) : -1;
}

void SetEditText(HWND edit, const char* text) {
    SetWindowTextA(edit, text);  // the edit reports the change to the page
}

void ChooseComboItem(HWND combo, int position) {
    SendMessageA(combo, CB_SETCURSEL, position, 0);
    SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

void Press(HWND page, int command) {
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, ID_TOOLBAR)));
}

COLORREF StatusLight(HWND page) {
    RECT client{};
    GetClientRect(page, &client);
    RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(page);
    const COLORREF colour = GetPixel(dc, client.right - 72 + 8, 4 + 8);
    ReleaseDC(page, dc);
    return colour;
}

bool LooksGreen(COLORREF colour) {
    return GetGValue(colour) > 150 && GetRValue(colour) < 100 && GetBValue(colour) < 100;
}

bool LooksRed(COLORREF colour) {
    return GetRValue(colour) > 150 && GetGValue(colour) < 100 && GetBValue(colour) < 100;
}

}  // namespace pagehost
