// The real manager program, started as the shell or a person would start it,
// under the system's own registry (the test prefix's under Wine): the files
// named on its command line, the single instance, the file association and
// closing. Each test runs its own copy of the program from a folder whose
// name has blanks and letters beyond ASCII.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/manager/program/manager_process.h"
#include "tests/manager/program/manager_sandbox.h"

namespace {

// Generous: under Wine on a loaded machine a start can take seconds.
constexpr DWORD kWaitMs = 30000;
constexpr char kCaption[] = "DRUV Manager";
constexpr size_t kRecordSize = 544;
constexpr size_t kRecordNameSize = 256;
constexpr size_t kRecordGuidOffset = 256;

std::string Described(const std::vector<SeenBox>& boxes) {
    std::string text = std::to_string(boxes.size()) + " box(es)";
    for (const SeenBox& box : boxes)
        text += "\n  [" + Utf8Text(box.caption) + "] \"" + Utf8Text(box.text) + "\"" +
                (box.mainWindowVisible ? " (main window visible)" : "") + (box.hasOwner ? " (owned)" : "");
    return text;
}

// A stored list: its values' names and sizes.
std::string Described(const RegistryTree& list) {
    if (!list.exists) return "(no key)";
    std::string text = "{";
    for (const RegistryTree::Value& value : list.values)
        text += " " + Utf8Text(value.name) + ":" + std::to_string(value.data.size()) + "B";
    return text + " }";
}

std::string RegistryText(HKEY root, const std::wstring& key, const std::wstring& name) {
    std::wstring text;
    if (!ReadRegistryText(root, key, name, text)) return "<missing>";
    return Utf8Text(text);
}

std::string HostDevicePath(const GUID& device) {
    return RegistryText(HKEY_LOCAL_MACHINE, HostPluginKey(device), L"DevicePath");
}

std::string ClassServerPath(const GUID& device) {
    return RegistryText(HKEY_CLASSES_ROOT, DeviceClassKey(device) + L"\\InprocServer32", L"");
}

std::string AssociationText(const std::wstring& subkey) {
    return RegistryText(HKEY_CLASSES_ROOT, std::wstring(kAssociationKey) + L"\\" + subkey, L"");
}

class ManagerProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sandbox.Ok()) << "cannot make a temporary folder";
        std::wstring error;
        program = sandbox.CopyProgram(WideText(DRUV_MANAGER_PROGRAM), error);
        ASSERT_FALSE(program.empty()) << Utf8Text(error);
        devices = sandbox.Subfolder(L"Device Files");
        sandbox.ClearStoredList();
    }

    TestDefinition Define(const std::string& name, const std::wstring& fileName) {
        const std::string product = name + " " + Utf8Text(sandbox.RunTag());
        TestDefinition definition = sandbox.WriteDefinition(devices, fileName, "Test Maker", product);
        EXPECT_FALSE(definition.path.empty()) << "cannot write the definition " << name;
        return definition;
    }

    void Start(ManagerProcess& process, const std::vector<std::wstring>& arguments) {
        std::wstring error;
        ASSERT_TRUE(process.Start(program, arguments, devices, error)) << Utf8Text(error);
    }

    void CloseAndExpectExit(ManagerProcess& process) {
        EXPECT_TRUE(process.Close(kWaitMs)) << "the program did not end within " << kWaitMs / 1000
                                            << " s of WM_CLOSE to its main window (it was terminated)";
    }

    // Declared first, so that the programs end before their folder goes. Its
    // name has blanks and letters beyond ASCII, as a user's folder may.
    ManagerSandbox sandbox{L"DRUV Manager test \u00C5ngstr\u00F6m \u0394"};
    std::wstring program;
    std::wstring devices;
};

TEST_F(ManagerProgramTest, InstallsTheCommandLineFilesInOrderBeforeTheWindowShows) {
    const TestDefinition first = Define("First", L"First device.druv");
    const TestDefinition second = Define("Second", L"Second \u00FC device.druv");
    ASSERT_FALSE(first.path.empty() || second.path.empty());
    // The second as a path relative to the program's working folder, which
    // is neither the program's folder nor the test's. The switches between
    // and after them are to be ignored.
    const std::wstring secondRelative = second.path.substr(devices.size() + 1);

    ManagerProcess manager;
    ASSERT_NO_FATAL_FAILURE(Start(manager, {first.path, L"/dde", secondRelative, L"-embedding"}));
    const bool twoBoxes = manager.Watcher().WaitForBoxes(2, kWaitMs);
    const HWND main = manager.Watcher().WaitForVisibleMainWindow(kWaitMs);
    Sleep(300);  // time for a box that should not come
    const std::vector<SeenBox> boxes = manager.Watcher().Boxes();
    ASSERT_TRUE(twoBoxes) << Described(boxes);
    EXPECT_NE(nullptr, main) << "the main window did not show within " << kWaitMs / 1000 << " s";
    ASSERT_EQ(2u, boxes.size()) << Described(boxes);
    const TestDefinition* const installed[] = {&first, &second};
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE("box " + std::to_string(i + 1));
        EXPECT_EQ(kCaption, Utf8Text(boxes[i].caption));
        EXPECT_EQ(installed[i]->DisplayName() + " has been successfully registered in Corvane",
                  Utf8Text(boxes[i].text));
        EXPECT_FALSE(boxes[i].mainWindowVisible) << "the box showed after the main window";
    }

    for (const TestDefinition* definition : installed) {
        SCOPED_TRACE(definition->DisplayName());
        EXPECT_EQ(Utf8Text(definition->path), HostDevicePath(definition->device));
        EXPECT_EQ(Utf8Text(sandbox.Folder() + L"\\DRUV.dll"), ClassServerPath(definition->device));
    }
    EXPECT_EQ(Utf8Text(L"\"" + program + L"\" \"%1\""), AssociationText(L"shell\\Open\\command"));
    EXPECT_EQ(Utf8Text(sandbox.Folder() + L"\\DRUVManager.ico"), AssociationText(L"DefaultIcon"));

    // The stored list: both, in command-line order.
    const RegistryTree list = ReadRegistryTree(HKEY_CURRENT_USER, kStoredListKey);
    const RegistryTree::Value* count = list.Find(L"Count");
    ASSERT_NE(nullptr, count) << "no stored list";
    DWORD stored = 0;
    if (count->type == REG_DWORD && count->data.size() == sizeof stored)
        std::memcpy(&stored, count->data.data(), sizeof stored);
    EXPECT_EQ(2u, stored) << "Count, type " << count->type << ", " << count->data.size() << " bytes";
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE("stored entry " + std::to_string(i));
        const RegistryTree::Value* record = list.Find(std::to_wstring(i));
        ASSERT_NE(nullptr, record);
        ASSERT_EQ(kRecordSize, record->data.size());
        const char* name = reinterpret_cast<const char*>(record->data.data());
        EXPECT_EQ(installed[i]->DisplayName(), std::string(name, strnlen(name, kRecordNameSize)));
        EXPECT_EQ(0, std::memcmp(&installed[i]->device, record->data.data() + kRecordGuidOffset, sizeof(GUID)))
            << "DeviceGUID differs from " << Utf8Text(BracedGuidText(installed[i]->device));
    }

    CloseAndExpectExit(manager);
}

// A second start without files has nothing to hand over: it only says that
// the first runs.
TEST_F(ManagerProgramTest, SecondStartWithoutFilesOnlySaysTheFirstRuns) {
    ManagerProcess running;
    ASSERT_NO_FATAL_FAILURE(Start(running, {}));
    ASSERT_NE(nullptr, running.Watcher().WaitForVisibleMainWindow(kWaitMs))
        << "the first program's window did not show; " << Described(running.Watcher().Boxes());
    const RegistryTree listBefore = ReadRegistryTree(HKEY_CURRENT_USER, kStoredListKey);

    ManagerProcess again;
    ASSERT_NO_FATAL_FAILURE(Start(again, {L"/dde"}));
    const bool ended = again.WaitForExit(kWaitMs);
    const std::vector<SeenBox> boxes = again.Watcher().Boxes();
    EXPECT_TRUE(ended) << "the second program still ran after " << kWaitMs / 1000 << " s; " << Described(boxes);
    ASSERT_EQ(1u, boxes.size()) << Described(boxes);
    EXPECT_EQ(kCaption, Utf8Text(boxes[0].caption));
    EXPECT_EQ(
        "DRUV Manager is already running.\nPlease add instrument using the Add option\n"
        "or drag and drop the files into the DRUV window",
        Utf8Text(boxes[0].text));
    EXPECT_FALSE(boxes[0].hasOwner) << "the box has an owner window";
    EXPECT_FALSE(again.Watcher().MainWindowEverVisible()) << "the second program showed a main window";
    EXPECT_EQ(1u, again.ExitCode());
    const RegistryTree listAfter = ReadRegistryTree(HKEY_CURRENT_USER, kStoredListKey);
    EXPECT_TRUE(listBefore == listAfter) << "the stored list changed from " << Described(listBefore) << " to "
                                         << Described(listAfter);
    EXPECT_TRUE(running.Running()) << "the first program ended";
    EXPECT_TRUE(running.Watcher().Boxes().empty()) << "the first program: " << Described(running.Watcher().Boxes());

    CloseAndExpectExit(running);
}

// Opening files while the manager runs: the second start hands them to the
// running manager, which installs them as from its own command line; the
// second start ends without a word.
TEST_F(ManagerProgramTest, SecondStartHandsItsFilesToTheRunningManager) {
    ManagerProcess running;
    std::wstring error;
    // The first runs in another folder, so a relative path of the second's
    // must be made whole before it is handed over.
    ASSERT_TRUE(running.Start(program, {}, sandbox.Folder(), error)) << Utf8Text(error);
    const HWND main = running.Watcher().WaitForVisibleMainWindow(kWaitMs);
    ASSERT_NE(nullptr, main) << "the first program's window did not show; " << Described(running.Watcher().Boxes());
    const TestDefinition first = Define("Handed", L"Handed device.druv");
    const TestDefinition second = Define("Over", L"Over \u00FC device.druv");
    ASSERT_FALSE(first.path.empty() || second.path.empty());

    ManagerProcess again;
    ASSERT_NO_FATAL_FAILURE(Start(again, {first.path.substr(devices.size() + 1), L"/dde", second.path}));
    const bool ended = again.WaitForExit(kWaitMs);
    EXPECT_TRUE(ended) << "the second program still ran after " << kWaitMs / 1000 << " s; "
                       << Described(again.Watcher().Boxes());
    EXPECT_EQ(0u, again.ExitCode());
    EXPECT_TRUE(again.Watcher().Boxes().empty()) << "the second program: " << Described(again.Watcher().Boxes());
    EXPECT_FALSE(again.Watcher().MainWindowEverVisible()) << "the second program showed a main window";

    const bool twoBoxes = running.Watcher().WaitForBoxes(2, kWaitMs);
    Sleep(300);  // time for a box that should not come
    const std::vector<SeenBox> boxes = running.Watcher().Boxes();
    ASSERT_TRUE(twoBoxes) << "the running program: " << Described(boxes);
    ASSERT_EQ(2u, boxes.size()) << Described(boxes);
    const TestDefinition* const installed[] = {&first, &second};
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(installed[i]->DisplayName());
        EXPECT_EQ(installed[i]->DisplayName() + " has been successfully registered in Corvane",
                  Utf8Text(boxes[i].text));
        EXPECT_TRUE(boxes[i].hasOwner) << "the box has no owner window";
        EXPECT_EQ(Utf8Text(installed[i]->path), HostDevicePath(installed[i]->device));
        EXPECT_EQ(Utf8Text(sandbox.Folder() + L"\\DRUV.dll"), ClassServerPath(installed[i]->device));
    }
    const RegistryTree list = ReadRegistryTree(HKEY_CURRENT_USER, kStoredListKey);
    EXPECT_NE(nullptr, list.Find(L"1")) << "both in the stored list: " << Described(list);
    EXPECT_EQ(2, SendMessageW(GetDlgItem(main, kInstrumentListId), LB_GETCOUNT, 0, 0)) << "items in the window's list";
    EXPECT_TRUE(running.Running()) << "the first program ended";

    CloseAndExpectExit(running);
}

}  // namespace
