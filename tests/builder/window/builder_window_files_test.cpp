// The builder's file commands through its window under Wine: a definition
// opened, shown and saved under another name is the same definition with new
// identifiers, and one typed entirely into the window is one that DRUV.dll
// of this build loads as the host would.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "builder/builder_controls.h"
#include "device/druv_device.h"
#include "plugin/abi/host_interfaces.h"
#include "tests/builder/window/builder_window_fixture.h"

namespace {

namespace ids = builder_controls;
namespace commands = builder_commands;

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

// The whole definition as the writer puts it, identifiers and path set to
// those given, so that two devices compare by everything else.
std::string Written(DRUVDevice& device, const GUID& deviceGuid, const GUID& editorGuid, const std::string& path) {
    device.SetDeviceGUID(deviceGuid);
    device.SetEditorGUID(editorGuid);
    device.SetFilePath(path.c_str());
    EXPECT_EQ(1, device.SaveDefinition());
    return ReadWholeFile(path);
}

std::wstring PluginKey(const GUID& device) {
    wchar_t text[39] = {};
    StringFromGUID2(device, text, 39);
    return std::wstring(L"Software\\Tavrel\\ZN3\\Plugins\\") + text;
}

}  // namespace

TEST_F(BuilderWindowTest, AnExampleOpenedShownAndSavedAsIsTheSameDefinitionWithNewIdentifiers) {
    const std::string example = ExampleDefinition("brindle-koss-sd16-mixer.druv");
    Choose(example);
    Toolbar(commands::kOpen);
    ASSERT_EQ(1u, dialogRequests.size());
    EXPECT_EQ(FileDialogKind::Open, dialogRequests[0].kind);
    EXPECT_EQ(Window(), dialogRequests[0].owner);

    EXPECT_EQ((std::vector<std::string>{"Everything", "Scene only"}), Items(ids::kConfigurations));
    EXPECT_EQ((std::vector<std::string>{"Current Scene", "Setup"}), Items(ids::kTemplates));
    EXPECT_EQ("Brindle & Koss", Text(ids::kCompany));
    EXPECT_EQ("SD-16 Digital Mixer", Text(ids::kProduct));
    EXPECT_EQ(example, ToolTipOf(ids::kCurrentDevice));
    EXPECT_EQ("...\\brindle-koss-sd16-mixer.druv", Text(ids::kCurrentDevice));
    ClickItem(ids::kConfigurations, 0);
    EXPECT_EQ((std::vector<int>{0, 1}), SelectedItems(ids::kConfigurationTemplates));
    ClickItem(ids::kTemplates, 0);
    EXPECT_EQ("4104", Text(ids::kSize));
    EXPECT_EQ("F0 7D 00 31 11 00 F7 ", Text(ids::kRequest));
    EXPECT_EQ(1, SendMessageW(Control(ids::kCSumType), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(Window(), ids::kFixedLength));

    const std::string copy = folder.File("copy.druv");
    Choose(copy);
    Toolbar(commands::kSaveAs);
    ASSERT_EQ(2u, dialogRequests.size());
    EXPECT_EQ(FileDialogKind::Save, dialogRequests[1].kind);
    EXPECT_EQ(copy, ToolTipOf(ids::kCurrentDevice));
    EXPECT_EQ("...\\copy.druv", Text(ids::kCurrentDevice));
    EXPECT_TRUE(boxes.boxes.empty());

    DRUVDevice original;
    original.SetFilePath(example.c_str());
    ASSERT_EQ(0, original.LoadDefinition());
    DRUVDevice saved;
    saved.SetFilePath(copy.c_str());
    ASSERT_EQ(0, saved.LoadDefinition());
    EXPECT_NE(0, memcmp(&original.DeviceGUID(), &saved.DeviceGUID(), sizeof(GUID)));
    EXPECT_NE(0, memcmp(&original.EditorGUID(), &saved.EditorGUID(), sizeof(GUID)));
    const GUID deviceGuid = original.DeviceGUID();
    const GUID editorGuid = original.EditorGUID();
    EXPECT_EQ(Written(original, deviceGuid, editorGuid, folder.File("original-again.druv")),
              Written(saved, deviceGuid, editorGuid, folder.File("saved-again.druv")));
}

TEST_F(BuilderWindowTest, ADefinitionTypedIntoTheWindowIsLoadedByThePlugIn) {
    Type(ids::kCompany, "Typed Maker");
    Type(ids::kProduct, "Window Box");
    for (const char* name : {"Scene", "Dump"}) {
        Type(ids::kTemplateName, name);
        Click(ids::kTemplateAdd);
    }
    for (const char* name : {"Scenes", "Everything"}) {
        Type(ids::kConfigurationName, name);
        Click(ids::kConfigurationAdd);
    }
    ClickItem(ids::kConfigurations, 0);
    ClickItem(ids::kConfigurationTemplates, 0);
    ClickItem(ids::kConfigurations, 1);
    ClickItem(ids::kConfigurationTemplates, 0);
    ClickItem(ids::kConfigurationTemplates, 1);
    ClickItem(ids::kTemplates, 0);
    Type(ids::kSize, "12");
    Type(ids::kRequest, "F0 7D 00 01 F7");
    ClickItem(ids::kTemplates, 1);  // stores the first template
    Type(ids::kSize, "24");         // the second is stored by Save

    // The first Save of a new definition asks for a name.
    const std::string path = folder.File("typed.druv");
    Choose(path);
    Toolbar(commands::kSave);
    ASSERT_EQ(1u, dialogRequests.size());
    EXPECT_EQ(FileDialogKind::Save, dialogRequests[0].kind);
    ASSERT_TRUE(boxes.boxes.empty()) << boxes.boxes[0].text;

    DRUVDevice written;
    written.SetFilePath(path.c_str());
    ASSERT_EQ(0, written.LoadDefinition());
    ASSERT_EQ(2u, written.ConfigurationCount());
    EXPECT_EQ(std::vector<std::string>{"Scene"}, written.Configuration(0)->Refs());
    EXPECT_EQ((std::vector<std::string>{"Scene", "Dump"}), written.Configuration(1)->Refs());
    EXPECT_EQ(5u, written.Template(0)->Request().size());
    EXPECT_EQ(24, written.Template(1)->Size());

    // Where the manager would point the host: the device's plug-in key.
    const GUID device = written.DeviceGUID();
    std::wstring widePath(path.begin(), path.end());
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, PluginKey(device).c_str(), 0, nullptr, 0,
                                             KEY_WRITE, nullptr, &key, nullptr));
    RegSetValueExW(key, L"DevicePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(widePath.c_str()),
                   static_cast<DWORD>((widePath.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);

    HMODULE plugin = LoadLibraryA(DRUV_PLUGIN_DLL);
    ASSERT_NE(nullptr, plugin);
    auto getClassObject = reinterpret_cast<GetClassObjectFunction>(
        reinterpret_cast<void*>(GetProcAddress(plugin, "DllGetClassObject")));
    IClassFactory* factory = nullptr;
    IMPServices2* services = nullptr;
    std::wstring types;
    if (getClassObject && getClassObject(device, IID_IClassFactory, reinterpret_cast<void**>(&factory)) == S_OK) {
        factory->CreateInstance(nullptr, IID_IMPServices2, reinterpret_cast<void**>(&services));
        factory->Release();
    }
    if (services) {
        uint32_t mask = 0;
        WCHAR* text = nullptr;
        if (services->GetDataTypes(&mask, &text, nullptr, nullptr, nullptr) == S_OK && text) types = text;
        CoTaskMemFree(text);
        services->Release();
    }
    FreeLibrary(plugin);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, PluginKey(device).c_str());
    EXPECT_EQ(L"All;Scenes;Everything", types);
}

namespace {

struct ProcessWindow {
    DWORD process;
    HWND window;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM data) {
    auto* found = reinterpret_cast<ProcessWindow*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != found->process || !IsWindowVisible(window)) return TRUE;
    found->window = window;
    return FALSE;
}

}  // namespace

// The program itself: it starts with its window shown and ends when that
// window is closed, with exit code 0.
TEST(BuilderProgramTest, StartsWithItsWindowAndEndsWhenItIsClosed) {
    std::string program = DRUV_BUILDER_EXE;
    std::wstring commandLine = L"\"" + std::wstring(program.begin(), program.end()) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process));
    ProcessWindow found{process.dwProcessId, nullptr};
    for (int i = 0; i < 200 && !found.window; ++i) {
        Sleep(50);
        EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&found));
    }
    wchar_t caption[64] = {};
    if (found.window) {
        GetWindowTextW(found.window, caption, 64);
        PostMessageW(found.window, WM_CLOSE, 0, 0);
    }
    const DWORD waited = WaitForSingleObject(process.hProcess, 10000);
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_NE(nullptr, found.window);
    EXPECT_EQ(std::wstring(L"DRUV Template Builder"), caption);
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), waited);
    EXPECT_EQ(0u, exitCode);
}
