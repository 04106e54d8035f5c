// The manager's window as a person and the shell use it, under Wine: built
// from the program's resources, pumped by its own message loop, installing
// into the prefix's registry for the DRUV.dll of this build.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "manager/window/command_line_arguments.h"
#include "manager/window/manager_app.h"
#include "manager/window/single_instance.h"
#include "platform/file_system.h"
#include "platform/registry_editor.h"
#include "platform/program_frame/about_entry.h"
#include "platform/wide_text.h"
#include "tests/manager/window/manager_window_fixture.h"
#include "tests/manager/registry_tree.h"

namespace {

constexpr int kAdd = 1001;
constexpr int kRemove = 1002;
constexpr int kRemoveAll = 1003;
constexpr int kHelp = 32651;
const wchar_t kEditorClass[] = L"{5464D9CE-17FD-4E28-A451-79A27E39BBC4}";

// A value read back with the system's own call; "-" when it is not there.
std::wstring Text(HKEY root, const std::wstring& key, const wchar_t* name) {
    wchar_t text[1024] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) return L"-";
    return text;
}

std::wstring Dword(HKEY root, const std::wstring& key, const wchar_t* name) {
    DWORD number = 0;
    DWORD size = sizeof number;
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &number, &size) != ERROR_SUCCESS)
        return L"-";
    return std::to_wstring(number);
}

std::wstring KeyAlone(HKEY root, const std::wstring& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return L"no key";
    RegCloseKey(opened);
    return Text(root, key, nullptr) == L"-" ? L"key without default" : L"key with default";
}

// The ten host rows of a device, in the order they are written.
std::vector<std::wstring> HostRows(const GUID& device) {
    const std::wstring server = ClassKey(device) + L"\\InprocServer32";
    const std::wstring editor = std::wstring(L"CLSID\\") + kEditorClass;
    const std::wstring plugin = PluginKey(device);
    return {Text(HKEY_CLASSES_ROOT, ClassKey(device), nullptr),
            Text(HKEY_CLASSES_ROOT, server, nullptr),
            Text(HKEY_CLASSES_ROOT, server, L"ThreadingModel"),
            Text(HKEY_CLASSES_ROOT, editor, nullptr),
            Text(HKEY_CLASSES_ROOT, editor + L"\\InprocServer32", nullptr),
            Text(HKEY_CLASSES_ROOT, editor + L"\\InprocServer32", L"ThreadingModel"),
            KeyAlone(HKEY_LOCAL_MACHINE, plugin),
            Text(HKEY_LOCAL_MACHINE, plugin, L"ZN3_KEY_PLUGIN_NAME"),
            Dword(HKEY_LOCAL_MACHINE, plugin, L"ZN3_KEY_TYPE"),
            Text(HKEY_LOCAL_MACHINE, plugin, L"DevicePath")};
}

std::string SuccessText(const TestDevice& device) {
    return device.displayName + " has been successfully registered in Corvane";
}

// Posts a key press to `target`, Ctrl held when asked, through the window's loop.
void TypeKey(FrameMessageLoop& loop, HWND target, UINT key, bool control) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
    PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | (1u << 30) | (1u << 31)));
    loop.PumpPending();
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
    SetKeyboardState(keys);
}

// What the shell hands over on a drop: DROPFILES and the wide paths, each
// ending in a zero, and one more zero at the end.
HGLOBAL MakeDrop(const std::vector<std::wstring>& paths) {
    size_t characters = 1;
    for (const std::wstring& path : paths) characters += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + characters * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* out = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(drop) + sizeof(DROPFILES));
    for (const std::wstring& path : paths) {
        path.copy(out, path.size());
        out += path.size() + 1;
    }
    GlobalUnlock(memory);
    return memory;
}

TEST_F(ManagerWindowTest, IsBuiltFromItsResources) {
    Open();
    ASSERT_NE(nullptr, List());
    // Several items may be selected, and they keep the order they came in.
    EXPECT_EQ(LBS_EXTENDEDSEL, GetWindowLongW(List(), GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL | LBS_SORT));
    EXPECT_NE(nullptr, FindWindowExW(Window(), nullptr, L"Static", L"Registered Instruments"));
    const int commands[] = {kAdd, kRemove, kRemoveAll, kHelp};
    ASSERT_EQ(4, SendMessageW(Toolbar(), TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < 4; ++i) {
        TBBUTTON button{};
        SendMessageW(Toolbar(), TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(commands[i], button.idCommand);
        EXPECT_EQ(i, button.iBitmap) << "a picture of its own";
    }
    HMENU menu = GetSystemMenu(Window(), FALSE);
    EXPECT_EQ(kAboutCommand, GetMenuItemID(menu, GetMenuItemCount(menu) - 1));
    EXPECT_NE(0, SendMessageW(Window(), WM_GETICON, ICON_SMALL, 0));
    for (int picture : {11, 12}) {  // the About box's
        HBITMAP bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(picture));
        EXPECT_NE(nullptr, bitmap) << picture;
        if (bitmap) DeleteObject(bitmap);
    }
}

TEST_F(ManagerWindowTest, AddInstallsEachChosenFileSoThatTheHostCanCreateTheDevice) {
    const TestDevice synth = MakeDevice("Synth", 1);
    const TestDevice effect = MakeDevice("Effekt \xC3\xA4", 2);  // names and paths cross into UTF-16 whole
    Open();
    dialogAnswer = {FileDialogOutcome::Chosen, {synth.path, effect.path}};
    Command(kAdd);

    ASSERT_EQ(1u, dialogRequests.size());
    const FileDialogRequest& request = dialogRequests[0];
    EXPECT_EQ("DRUV Device (*.druv)|*.druv||", request.filter);
    EXPECT_EQ("druv", request.defaultExtension);
    EXPECT_EQ(managerFolder + "\\Devices", request.initialFolder);
    EXPECT_TRUE(request.multipleSelection);
    EXPECT_EQ(unsigned{kFileDialogPathMustExist | kFileDialogHideReadOnly}, request.flags);
    EXPECT_EQ(65536u, request.bufferCharacters);
    EXPECT_EQ(Window(), request.owner);

    EXPECT_EQ((std::vector<std::string>{SuccessText(synth), SuccessText(effect)}), BoxTexts());
    EXPECT_EQ((std::vector<std::wstring>{WideText(synth.displayName), WideText(effect.displayName)}), ListTexts());
    const std::wstring plugin = WideText(managerFolder) + L"\\DRUV.dll";
    for (const auto& [device, type] : {std::make_pair(synth, L"10242"), std::make_pair(effect, L"18434")}) {
        SCOPED_TRACE(device.displayName);
        EXPECT_EQ((std::vector<std::wstring>{WideText(device.displayName), plugin, L"Both", L"DRUV Editor", plugin, L"Both",
                                             L"key without default", WideText(device.displayName), type,
                                             WideText(device.path)}),
                  HostRows(device.device));
    }

    for (const TestDevice& device : {synth, effect}) {
        IUnknown* filter = nullptr;
        ASSERT_EQ(S_OK, CoCreateInstance(device.device, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                         reinterpret_cast<void**>(&filter)))
            << device.displayName;
        filter->Release();
    }
}

TEST_F(ManagerWindowTest, AddSaysWhenTheChosenNamesDidNotFitAndOtherwiseStaysQuiet) {
    const struct {
        FileDialogOutcome outcome;
        std::vector<std::string> texts;
    } cases[] = {
        {FileDialogOutcome::BufferTooSmall,
         {"The names of the files you chose are too long to be taken in at once.\n"
          "Nothing has been installed. Please choose fewer files at a time."}},
        {FileDialogOutcome::Cancelled, {}},
        {FileDialogOutcome::Failed, {}},
    };
    const TestDevice device = MakeDevice("Desk");
    Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.outcome));
        boxes.boxes.clear();
        dialogAnswer = {c.outcome, {device.path}};  // paths beside a failure must not be installed
        Command(kAdd);
        EXPECT_EQ(c.texts, BoxTexts());
        if (!boxes.boxes.empty()) {
            EXPECT_EQ(MessageIcon::Error, boxes.boxes[0].icon);
        }
        EXPECT_TRUE(ListTexts().empty());
        EXPECT_EQ(L"-", Text(HKEY_LOCAL_MACHINE, PluginKey(device.device), L"DevicePath"));
    }
}

TEST_F(ManagerWindowTest, CommandLineFilesAreInstalledInOrderWhileTheWindowIsCreated) {
    const TestDevice first = MakeDevice("First");
    const TestDevice second = MakeDevice("Second");
    Open({first.path, second.path});
    EXPECT_EQ((std::vector<std::string>{SuccessText(first), SuccessText(second)}), BoxTexts());
    for (const RecordedBox& box : boxes.boxes) EXPECT_EQ(Window(), box.owner);
    EXPECT_EQ((std::vector<std::wstring>{WideText(first.displayName), WideText(second.displayName)}), ListTexts());
}

TEST_F(ManagerWindowTest, ButtonsFollowTheListAndItsSelection) {
    const TestDevice device = MakeDevice("Desk");
    Open();
    EXPECT_FALSE(ButtonEnabled(kRemove));
    EXPECT_FALSE(ButtonEnabled(kRemoveAll));
    EXPECT_TRUE(ButtonEnabled(kAdd));
    EXPECT_TRUE(ButtonEnabled(kHelp));

    Post(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({WideText(device.path)})));
    EXPECT_FALSE(ButtonEnabled(kRemove));
    EXPECT_TRUE(ButtonEnabled(kRemoveAll));

    for (bool selected : {true, false}) {
        SendMessageW(List(), LB_SETSEL, selected, 0);
        Post(WM_COMMAND, MAKEWPARAM(1000, LBN_SELCHANGE), reinterpret_cast<LPARAM>(List()));
        EXPECT_EQ(selected, ButtonEnabled(kRemove));
        EXPECT_EQ(selected, dialog->Manager().List().Item(0).selected);
    }
}

TEST_F(ManagerWindowTest, KeysRunTheirCommandsAndEscapeAndEnterDoNotClose) {
    const TestDevice device = MakeDevice("Desk");
    const struct {
        const char* name;
        UINT key;
        bool control;
        std::vector<std::string> boxes;
        size_t documents;
    } cases[] = {
        {"Ctrl+R", 'R', true, {"Are you sure you want to uninstall the selected DRUV Instruments?"}, 0},
        {"Ctrl+E", 'E', true, {"Are you sure you want to uninstall all DRUV Instruments?"}, 0},
        {"Ctrl+H", 'H', true, {}, 1},
        {"F1", VK_F1, false, {}, 1},
        {"Escape", VK_ESCAPE, false, {}, 0},
        {"Enter", VK_RETURN, false, {}, 0},
    };
    Open({device.path});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.boxes.clear();
        opened.clear();
        TypeKey(dialog->Loop(), List(), c.key, c.control);
        EXPECT_EQ(c.boxes, BoxTexts());  // the questions are answered No
        ASSERT_EQ(c.documents, opened.size());
        if (c.documents) {
            // By its full path: the working folder alone does not lead the shell there.
            EXPECT_EQ(managerFolder + "\\Manual.pdf", opened[0].document);
            EXPECT_EQ(managerFolder, opened[0].workingFolder);
            EXPECT_EQ(Window(), opened[0].owner);
        }
        EXPECT_TRUE(IsWindow(Window()));
        EXPECT_EQ(std::vector<std::wstring>{WideText(device.displayName)}, ListTexts());
    }
}

TEST_F(ManagerWindowTest, DropInstallsEachFileInOrderAndPassesLongPathsWhole) {
    const TestDevice device = MakeDevice("Desk");
    const std::string longPath = "C:\\" + std::string(290, 'p') + ".druv";
    ASSERT_EQ(298u, longPath.size());
    Open();
    Post(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({WideText(longPath), WideText(device.path)})));
    EXPECT_EQ((std::vector<std::string>{"The path of the device file\n" + longPath +
                                            "\nis longer than 255 characters and cannot be installed.\n"
                                            "Please move the file to a folder with a shorter path.",
                                        SuccessText(device)}),
              BoxTexts());
    EXPECT_EQ(std::vector<std::wstring>{WideText(device.displayName)}, ListTexts());
}

TEST_F(ManagerWindowTest, ClosingLeavesTheRegistryAsItWas) {
    const TestDevice device = MakeDevice("Desk");
    Open({device.path});
    SendMessageW(List(), LB_SETSEL, TRUE, 0);
    Post(WM_COMMAND, MAKEWPARAM(1000, LBN_SELCHANGE), reinterpret_cast<LPARAM>(List()));
    const std::vector<std::pair<HKEY, std::wstring>> keys{{HKEY_CLASSES_ROOT, ClassKey(device.device)},
                                                          {HKEY_LOCAL_MACHINE, PluginKey(device.device)},
                                                          {HKEY_CURRENT_USER, L"SOFTWARE\\Tavrel\\Lindqor\\DRUV"}};
    std::vector<RegistryTree> before;
    for (const auto& [root, key] : keys) before.push_back(ReadRegistryTree(root, key));
    ASSERT_TRUE(before[0].exists && before[1].exists && before[2].exists);

    PostMessageW(Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(0, dialog->Run());
    EXPECT_FALSE(IsWindow(Window()));
    EXPECT_TRUE(dialog->Manager().List().Empty());
    EXPECT_TRUE(dialog->Manager().Closed()) << "an install whose box outlived the window would still write";
    for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(before[i], ReadRegistryTree(keys[i].first, keys[i].second)) << i;
}

TEST(ManagerCommandLine, IsSplitAsTheShellSplitsItAndReadAsUtf8) {
    EXPECT_EQ((std::vector<std::string>{"C:\\My Devices\\a.druv", "/s", "-x", "\xC3\xBC.druv"}),
              CommandLineArguments(L"\"C:\\DRUV\\DRUV Manager.exe\" \"C:\\My Devices\\a.druv\" /s -x \u00FC.druv"));
    EXPECT_TRUE(CommandLineArguments(L"manager.exe").empty());
}

TEST_F(ManagerWindowTest, ASecondManagerSaysSoAndInstallsNothing) {
    const TestDevice device = MakeDevice("Desk");
    const std::wstring name = L"Local\\DRUV Manager test " + GuidText(device.device);
    const SingleInstance first(name);
    ASSERT_TRUE(first.First());
    EXPECT_FALSE(SingleInstance(name).First());

    ManagerEnvironment environment{SystemRegistryEditor(), managerFolder, FileExists, AbsolutePath};
    CDRUVManagerApp second(environment, {name, "C:\\DRUV\\DRUV Manager.exe", nullptr});
    EXPECT_NE(0, second.Run(GetModuleHandleW(nullptr), {device.path}));
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_EQ("DRUV Manager is already running.\nPlease add instrument using the Add option\n"
              "or drag and drop the files into the DRUV window",
              boxes.boxes[0].text);
    EXPECT_EQ("DRUV Manager", boxes.boxes[0].caption);
    EXPECT_EQ(MessageIcon::Error, boxes.boxes[0].icon);
    EXPECT_EQ(nullptr, boxes.boxes[0].owner);
    EXPECT_FALSE(ReadRegistryTree(HKEY_LOCAL_MACHINE, PluginKey(device.device)).exists);
    EXPECT_FALSE(ReadRegistryTree(HKEY_CURRENT_USER, L"SOFTWARE\\Tavrel\\Lindqor\\DRUV").exists);
}

}  // namespace
