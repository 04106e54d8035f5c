// The manager's window where it must not be led astray, under Wine over the
// prefix's registry: the stored list that any program of the user may write
// names entries of other programs, its boxes have the window as their owner,
// the window goes while a box is up, and another process sends it files.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "manager/file_handover.h"
#include "manager/instrument_list_store.h"
#include "manager/window/running_manager.h"
#include "platform/registry_editor.h"
#include "platform/wide_text.h"
#include "tests/manager/registry_tree.h"
#include "tests/manager/window/manager_window_fixture.h"

namespace {

constexpr int kRemoveAll = 1003;

bool SetText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& text) {
    HKEY opened = nullptr;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG status = RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(opened);
    return status == ERROR_SUCCESS;
}

// The path as Wine reaches it through its drive Z:, the root of the Unix
// file system; empty outside Wine.
std::wstring ThroughDriveZ(const std::wstring& path) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName) return L"";
    char* name = unixName(path.c_str());
    if (!name) return L"";
    std::wstring result = L"Z:" + WideText(name);
    HeapFree(GetProcessHeap(), 0, name);
    for (wchar_t& c : result)
        if (c == L'/') c = L'\\';
    return result;
}

std::wstring ShortName(const std::wstring& path) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? buffer : L"";
}

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// Records issued to devices of this run's own, what the prefix's registry
// holds for each, and whether Remove All may delete it.
struct ListedDevice {
    std::string name;
    std::wstring server;       // InprocServer32's default; empty for none
    std::wstring otherKey;     // a subkey of the class besides it, with a default value
    bool appId = false;
    std::string recordPath;    // the path the record keeps; empty as in earlier versions
    std::wstring devicePath;   // the host entry's DevicePath
    bool deleted = false;
    GUID guid{};
};

TEST_F(ManagerWindowTest, RemoveAllDeletesOnlyOurEntriesHoweverTheirPathsAreSpelled) {
    // A manager folder of its own with a long name, so that its short name
    // differs, holding a copy of the built plug-in.
    const std::string pluginFolder = folder.File("Plugin folder with a long name");
    std::filesystem::create_directories(std::filesystem::u8path(pluginFolder));
    const std::string plugin = pluginFolder + "\\DRUV.dll";
    ASSERT_TRUE(CopyFileW(WideText(managerFolder + "\\DRUV.dll").c_str(), WideText(plugin).c_str(), FALSE))
        << "cannot copy DRUV.dll to " << plugin;
    managerFolder = pluginFolder;
    const std::wstring shortForm = ShortName(WideText(plugin));
    const std::wstring driveZForm = ThroughDriveZ(WideText(plugin));
    std::cout << "the plug-in as short name: " << Utf8Text(shortForm) << "\nthrough drive Z: " << Utf8Text(driveZForm)
              << "\n";

    const std::string devicePath = "C:\\Devices\\Listed.druv";
    std::vector<ListedDevice> listed = {
        {"Test Ours", WideText(plugin), L"", false, devicePath, WideText(devicePath), true},
        {"Test Case", WideText(Upper(plugin)), L"", false, devicePath, WideText(Upper(devicePath)), true},
        {"Test Earlier Version", WideText(plugin), L"", false, "", L"C:\\Anywhere\\x.druv", true},
        {"Test Local Server", L"", L"LocalServer32", false, devicePath, WideText(devicePath), false},
        {"Test Service", L"", L"", true, devicePath, WideText(devicePath), false},
        {"Test Treated", WideText(plugin), L"TreatAs", false, devicePath, WideText(devicePath), false},
        {"Test Other Copy", WideText(managerFolder) + L"x\\DRUV.dll", L"", false, devicePath, WideText(devicePath),
         false},
        {"Test Other Device File", WideText(plugin), L"", false, devicePath, L"C:\\Other\\plugin.cfg", false},
    };
    if (shortForm.empty() || shortForm == WideText(plugin)) {
        std::cout << "no short name differs here; that spelling is not tried\n";
    } else {
        listed.push_back({"Test Short Name", shortForm, L"", false, devicePath, WideText(devicePath), true});
    }
    if (driveZForm.empty()) {
        std::cout << "not under Wine; the spelling through drive Z: is not tried\n";
    } else {
        listed.push_back({"Test Drive Z", driveZForm, L"", false, devicePath, WideText(devicePath), true});
    }

    InstrumentList stored;
    for (ListedDevice& device : listed) {
        CoCreateGuid(&device.guid);
        GUID editor{};
        CoCreateGuid(&editor);
        devices.push_back({"", device.name, device.guid, editor, 1});  // deleted at the end whatever happens
        const std::wstring classKey = ClassKey(device.guid);
        ASSERT_TRUE(SetText(HKEY_CLASSES_ROOT, classKey, nullptr, L"Some Class"));
        if (!device.server.empty()) {
            ASSERT_TRUE(SetText(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32", nullptr, device.server));
        }
        if (!device.otherKey.empty()) {
            ASSERT_TRUE(SetText(HKEY_CLASSES_ROOT, classKey + L"\\" + device.otherKey, nullptr, L"C:\\Other\\x.exe"));
        }
        if (device.appId) {
            ASSERT_TRUE(SetText(HKEY_CLASSES_ROOT, classKey, L"AppID", GuidText(editor)));
        }
        ASSERT_TRUE(SetText(HKEY_LOCAL_MACHINE, PluginKey(device.guid), L"DevicePath", device.devicePath));
        const DevicePathMark kept = device.recordPath.empty() ? DevicePathMark() : DevicePathMark(device.recordPath);
        stored.Append(InstrumentRecord{device.name, device.guid, editor, kept});
    }
    ASSERT_TRUE(SaveInstrumentList(SystemRegistryEditor(), stored));
    std::vector<RegistryTree> before;
    for (const ListedDevice& device : listed)
        before.push_back(ReadRegistryTree(HKEY_CLASSES_ROOT, ClassKey(device.guid)));

    Open();
    ASSERT_EQ(listed.size(), ListTexts().size());
    MessageRecorder answers(MessageAnswer::Yes);
    Command(kRemoveAll);

    EXPECT_TRUE(ListTexts().empty());
    InstrumentList left;
    LoadInstrumentList(SystemRegistryEditor(), left);
    EXPECT_TRUE(left.Empty()) << left.Count() << " record(s) still stored";
    std::string warned;
    for (const RecordedBox& box : answers.boxes)
        if (box.icon == MessageIcon::Warning) warned = box.text;
    for (size_t i = 0; i < listed.size(); ++i) {
        const ListedDevice& device = listed[i];
        SCOPED_TRACE(device.name + ", served by " + Utf8Text(device.server));
        const RegistryTree classAfter = ReadRegistryTree(HKEY_CLASSES_ROOT, ClassKey(device.guid));
        const bool hostEntryAfter = RegistryKeyExists(HKEY_LOCAL_MACHINE, PluginKey(device.guid));
        EXPECT_EQ(!device.deleted, classAfter.exists) << "the class key";
        EXPECT_EQ(!device.deleted, hostEntryAfter) << "the host's entry";
        if (!device.deleted) {
            EXPECT_TRUE(before[i] == classAfter) << "the class key changed";
        }
        EXPECT_EQ(!device.deleted, warned.find(device.name + ": ") != std::string::npos) << "warning: " << warned;
    }
}

TEST_F(ManagerWindowTest, TheReadersBoxIsOwnedAndAWindowClosedUnderABoxInstallsNoMore) {
    const TestDevice earlier = MakeDevice("Earlier");
    const TestDevice later = MakeDevice("Later");
    const std::string broken = folder.Write("broken.druv", "<DRUVDevice><Company>");
    Open({earlier.path});
    const RegistryTree listBefore = ReadRegistryTree(HKEY_CURRENT_USER, L"SOFTWARE\\Tavrel\\Lindqor\\DRUV");
    ASSERT_TRUE(listBefore.exists);

    // The window is closed while the reader's box of the first dropped file
    // is up; the box belongs to the window.
    std::vector<RecordedBox> seen;
    const ScopedMessageBoxHandler closing([&](const MessageBoxRequest& box) {
        seen.push_back({box.text, box.caption, box.icon, box.buttons, box.owner});
        if (seen.size() == 1) SendMessageW(Window(), WM_CLOSE, 0, 0);
        return MessageAnswer::Ok;
    });
    dialogAnswer = {FileDialogOutcome::Chosen, {broken, later.path}};
    PostMessageW(Window(), WM_COMMAND, 1001, 0);
    EXPECT_EQ(0, dialog->Run());

    ASSERT_EQ(1u, seen.size()) << "a box after the window closed: " << (seen.size() > 1 ? seen[1].text : "");
    EXPECT_EQ(kDefinitionMessageCaption, seen[0].caption);
    EXPECT_EQ(static_cast<void*>(Window()), seen[0].owner) << "the reader's box has no owner";
    EXPECT_FALSE(IsWindow(Window()));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, PluginKey(later.device))) << "installed after the window closed";
    EXPECT_TRUE(listBefore == ReadRegistryTree(HKEY_CURRENT_USER, L"SOFTWARE\\Tavrel\\Lindqor\\DRUV"))
        << "the stored list was rewritten after the window closed";
}

// What another process may send the window: only the hand-over format is
// taken, answered at once and installed after.
TEST_F(ManagerWindowTest, HandedOverFilesAreTakenOnlyInTheirFormat) {
    const TestDevice first = MakeDevice("First");
    const TestDevice second = MakeDevice("Second");
    instanceName = L"Local\\DRUV Manager test " + GuidText(first.device);
    EXPECT_EQ(nullptr, FindManagerWindow(instanceName));
    Open();
    EXPECT_EQ(Window(), FindManagerWindow(instanceName));

    std::vector<uint8_t> valid = EncodeFileHandover({first.path, second.path});
    std::vector<uint8_t> cut(valid.begin(), valid.end() - 1);
    const struct { const char* what; ULONG_PTR tag; std::vector<uint8_t>* bytes; LRESULT answer; } cases[] = {
        {"another tag", kFileHandoverTag + 1, &valid, FALSE},
        {"cut short", kFileHandoverTag, &cut, FALSE},
        {"the hand-over", kFileHandoverTag, &valid, TRUE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        COPYDATASTRUCT data{c.tag, static_cast<DWORD>(c.bytes->size()), c.bytes->data()};
        EXPECT_EQ(c.answer, SendMessageW(Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)));
        EXPECT_TRUE(boxes.boxes.empty()) << "installed while the sender waits for its answer";
        dialog->Loop().PumpPending();
        EXPECT_EQ(c.answer == TRUE ? 2u : 0u, ListTexts().size());
    }
    EXPECT_EQ((std::vector<std::string>{first.displayName + " has been successfully registered in Corvane",
                                        second.displayName + " has been successfully registered in Corvane"}),
              BoxTexts());
    PostMessageW(Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(0, dialog->Run());
    EXPECT_EQ(nullptr, FindManagerWindow(instanceName)) << "still found after it closed";
}

}  // namespace
