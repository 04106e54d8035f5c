// The manager's window over the prefix's registry, under Wine, when the
// stored list, which any program of the user may write, names entries of
// other programs or this manager's own in other spellings.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "manager/instrument_list_store.h"
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

// Records of devices made for this run, what the prefix's registry
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

}  // namespace
