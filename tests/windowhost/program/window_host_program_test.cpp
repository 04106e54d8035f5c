// DRUV Host.exe as a musician uses it: a project druvhost received opens with
// its instrument, a receive from the simulated instrument moves the progress
// bar, Escape cancels one and leaves the project as it was, closing with
// unsaved changes asks first, and the project the window saved opens in
// druvhost. Each run installs the example mixer under identifiers of its own.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "druvhost/project/project_store.h"
#include "platform/guid.h"
#include "platform/safe_file_write.h"
#include "platform/wide_text.h"
#include "tests/druvhost/program/druvhost_run.h"
#include "tests/windowhost/program/window_host_process.h"
#include "windowhost/core/syx_preview.h"
#include "windowhost/resources/window_host_resource_ids.h"
#include "tests/support/test_paths.h"

namespace {

using druvhosttest::RunDruvhost;
using druvhosttest::RunResult;
using windowhost::SyxFileName;
using windowhosttest::BoxText;
using windowhosttest::WindowHostProcess;

constexpr DWORD kStartMs = 30000;
constexpr DWORD kTransferMs = 30000;
// A date long before any receive of this run.
constexpr int64_t kOldDate = 1000;

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::string Unbraced(const GUID& guid) {
    char text[kBracedGuidLength + 1] = {};
    FormatBracedGuid(guid, text, sizeof text);
    return std::string(text + 1, kBracedGuidLength - 2);
}

std::string Braced(const GUID& guid) {
    char text[kBracedGuidLength + 1] = {};
    FormatBracedGuid(guid, text, sizeof text);
    return text;
}

druvhost::ClassId ToClassId(const GUID& guid) {
    druvhost::ClassId id;
    std::memcpy(id.data(), &guid, id.size());
    return id;
}

// What a box the program shows says; empty when none is up.
std::string BoxNow(const WindowHostProcess& host) {
    HWND box = host.WaitForBox(0);
    return box != nullptr ? windowhosttest::BoxText(box) : std::string();
}

// Polls `done` every 20 ms; false on timeout.
template <typename Done>
bool WaitUntil(DWORD timeoutMs, Done done) {
    for (DWORD waited = 0; waited <= timeoutMs; waited += 20) {
        if (done()) return true;
        Sleep(20);
    }
    return false;
}

class WindowHostProgramTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = Utf8Text(temp) + "window host " + std::to_string(GetCurrentProcessId());
        CreateDirectoryW(WideText(folder_).c_str(), nullptr);
        // Two example mixers under identifiers of this run.
        const std::string first = WriteMixer("mixer.druv", "A", mixerClass_);
        const std::string second = WriteMixer("second mixer.druv", "B", secondClass_);
        install_ = RunDruvhost({"install", first, second});
        received_ = folder_ + "\\received.dhp";
        receive_ = RunDruvhost({"receive", Braced(mixerClass_), "--project", received_});
    }

    static std::string WriteMixer(const char* file, const char* letter, GUID& classId) {
        std::string text = ReadText(druvtest::ExamplesDir() + "/brindle-koss-sd16-mixer.druv");
        GUID editor{};
        CreateGuid(classId);
        CreateGuid(editor);
        text.replace(text.find("<DeviceGUID>") + 12, 36, Unbraced(classId));
        text.replace(text.find("<EditorGUID>") + 12, 36, Unbraced(editor));
        const size_t product = text.find("<Product>") + 9;
        text.replace(product, text.find("</Product>") - product, MixerName(letter));
        const std::string path = folder_ + "\\" + file;
        WriteFileSafely(path, text.data(), text.size());
        return path;
    }

    static std::string MixerName(const char* letter) {
        return std::string("SD-16 Window ") + letter + " " + std::to_string(GetCurrentProcessId());
    }

    // The name the host lists the mixer under: its maker's and its own.
    static std::string ListedName(const char* letter) { return "Brindle & Koss " + MixerName(letter); }

    static void TearDownTestSuite() {
        RunDruvhost({"uninstall", Braced(mixerClass_), Braced(secondClass_)});
        for (const char* name : {"mixer.druv", "second mixer.druv", "received.dhp", "Set.dhp", "Gig.dhp", "Demo.dhp",
                                 "Other.dhp", "Look.dhp", "Backup.dhp", "Syx.dhp", "Refused.dhp", "other unit.syx",
                                 "scene only.syx", "saved again.syx", "Export.dhp", "all.syx", "expected all.syx",
                                 "expected scene.syx", "expected setup.syx"})
            DeleteFileW(WideText(folder_ + "\\" + name).c_str());
        for (const char* folder : {"per item", "refused"}) {
            const std::string inside = folder_ + "\\" + folder;
            for (const char* item : {"Current Scene", "Setup"}) {
                const std::string file = inside + "\\" + SyxFileName(ListedName("A"), item);
                DeleteFileW(WideText(file).c_str());
                RemoveDirectoryW(WideText(file).c_str());
            }
            RemoveDirectoryW(WideText(inside).c_str());
        }
        RemoveDirectoryW(WideText(folder_).c_str());
    }

    void SetUp() override {
        ASSERT_EQ(install_.status, 0u) << install_.output;
        ASSERT_EQ(receive_.status, 0u) << receive_.output;
    }

    // The received project under `name`, its receive date set far back.
    std::string Project(const char* name) {
        druvhost::Project project;
        std::string error;
        EXPECT_EQ(druvhost::LoadProjectFile(received_, project, error), druvhost::ProjectLoad::Loaded) << error;
        EXPECT_TRUE(project.MarkReceived(ToClassId(mixerClass_), kOldDate));
        const std::string path = folder_ + "\\" + name;
        EXPECT_TRUE(druvhost::SaveProjectFile(path, project, error)) << error;
        return path;
    }

    // Starts the program with `project` and waits until Receive can be chosen.
    void Start(WindowHostProcess& host, const std::string& project) {
        DWORD error = 0;
        ASSERT_TRUE(host.Start(project, error)) << "CreateProcess failed with " << error;
        ASSERT_NE(host.WaitForMainWindow(kStartMs), nullptr) << "no main window";
        ASSERT_TRUE(WaitUntil(kStartMs, [&] { return host.MenuItemEnabled(ID_INSTRUMENT_RECEIVE); }))
            << "Receive never became available; title " << host.Title();
    }

    static std::string folder_, received_;
    static GUID mixerClass_, secondClass_;
    static RunResult install_, receive_;
};

std::string WindowHostProgramTest::folder_, WindowHostProgramTest::received_;
GUID WindowHostProgramTest::mixerClass_{}, WindowHostProgramTest::secondClass_{};
RunResult WindowHostProgramTest::install_, WindowHostProgramTest::receive_;

TEST_F(WindowHostProgramTest, ReceiveMovesTheProgressBarAndTheSavedProjectOpensInDruvhost) {
    const std::string path = Project("Set.dhp");
    WindowHostProcess host;
    Start(host, path);
    EXPECT_EQ(host.Title(), "Set - DRUV Host");

    host.PressKey(VK_F5);
    int between = 0, highest = 0;
    ASSERT_TRUE(WaitUntil(kTransferMs, [&] {
        const int position = host.ProgressPosition();
        if (position > 0 && position < 100) ++between;
        if (position > highest) highest = position;
        return host.Title() == "Set* - DRUV Host";
    })) << "the receive did not end with unsaved changes; title " << host.Title() << ", bar at " << highest
         << ", box: " << BoxNow(host);
    EXPECT_GT(between, 0) << "the bar was never seen between its ends; highest " << highest;
    EXPECT_FALSE(host.CancelButtonShown()) << "Cancel still shown after the receive";

    PostMessageW(host.Main(), WM_CLOSE, 0, 0);
    HWND box = host.WaitForBox(10000);
    ASSERT_NE(box, nullptr) << "closing with unsaved changes asked nothing";
    EXPECT_EQ(windowhosttest::BoxText(box), "Do you want to save the changes to Set?");
    windowhosttest::PressBoxButton(box, IDYES);
    EXPECT_EQ(host.WaitForExit(10000), 0u);

    druvhost::Project saved;
    std::string error;
    ASSERT_EQ(druvhost::LoadProjectFile(path, saved, error), druvhost::ProjectLoad::Loaded) << error;
    ASSERT_NE(saved.Find(ToClassId(mixerClass_)), nullptr);
    EXPECT_GT(saved.Find(ToClassId(mixerClass_))->receivedAt, kOldDate) << "the window's receive was not saved";
    const RunResult transmit = RunDruvhost({"transmit", Braced(mixerClass_), "--project", path});
    EXPECT_EQ(transmit.status, 0u) << transmit.output;
}

TEST_F(WindowHostProgramTest, EscapeCancelsAReceiveAndTheProjectStaysAsItWas) {
    const std::string path = Project("Gig.dhp");
    const std::string before = ReadText(path);
    WindowHostProcess host;
    Start(host, path);

    host.PressKey(VK_F5);
    ASSERT_TRUE(WaitUntil(kTransferMs, [&] { return host.CancelButtonShown(); })) << "no transfer began";
    host.PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil(kTransferMs, [&] { return !host.CancelButtonShown(); })) << "the receive did not end";
    EXPECT_EQ(host.Title(), "Gig - DRUV Host") << "a cancelled receive changed the project";

    PostMessageW(host.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(host.WaitForExit(10000), 0u) << "closing without changes asked or hung";
    EXPECT_EQ(ReadText(path), before) << "the project file changed";
}

TEST_F(WindowHostProgramTest, UnsavedChangesStayUntilTheMusicianLetsThemGo) {
    const std::string path = Project("Demo.dhp");
    const std::string before = ReadText(path);
    WindowHostProcess host;
    Start(host, path);
    host.PressKey(VK_F5);
    ASSERT_TRUE(WaitUntil(kTransferMs, [&] { return host.Title() == "Demo* - DRUV Host"; }))
        << host.Title() << ", box: " << BoxNow(host);

    PostMessageW(host.Main(), WM_CLOSE, 0, 0);
    HWND box = host.WaitForBox(10000);
    ASSERT_NE(box, nullptr) << "closing with unsaved changes asked nothing";
    windowhosttest::PressBoxButton(box, IDCANCEL);
    ASSERT_TRUE(WaitUntil(5000, [&] { return host.WaitForBox(0) == nullptr; })) << "the box stayed";
    EXPECT_EQ(host.WaitForExit(500), static_cast<DWORD>(STILL_ACTIVE)) << "Cancel closed the window";
    EXPECT_EQ(host.Title(), "Demo* - DRUV Host");

    PostMessageW(host.Main(), WM_CLOSE, 0, 0);
    box = host.WaitForBox(10000);
    ASSERT_NE(box, nullptr) << "the second close asked nothing";
    windowhosttest::PressBoxButton(box, IDNO);
    EXPECT_EQ(host.WaitForExit(10000), 0u);
    EXPECT_EQ(ReadText(path), before) << "Don't Save wrote the project";
}

}  // namespace

namespace {

// The instrument chosen in the list is the one a receive asked for at once
// afterwards gets, even while the window is still asking the instruments
// whether they answer.
TEST_F(WindowHostProgramTest, AReceiveRightAfterChoosingAnotherInstrumentReceivesThatOne) {
    const std::string path = Project("Other.dhp");
    WindowHostProcess host;
    Start(host, path);
    HWND list = GetDlgItem(host.Main(), IDC_INSTRUMENTS);
    const int selected = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    ASSERT_GE(rows, 2) << "the two mixers are not listed";
    PostMessageW(list, WM_KEYDOWN, selected == 0 ? VK_DOWN : VK_UP, 1);
    host.PressKey(VK_F5);
    ASSERT_TRUE(WaitUntil(kTransferMs, [&] { return host.CancelButtonShown(); })) << "no transfer began";
    ASSERT_TRUE(WaitUntil(kTransferMs, [&] { return !host.CancelButtonShown(); })) << "the receive did not end";
    EXPECT_EQ(host.Title(), "Other* - DRUV Host") << "box: " << BoxNow(host);
    EXPECT_NE(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), selected);
    PostMessageW(host.Main(), WM_CLOSE, 0, 0);
    HWND box = host.WaitForBox(10000);
    ASSERT_NE(box, nullptr) << "closing with unsaved changes asked nothing";
    EXPECT_EQ(windowhosttest::BoxText(box), "Do you want to save the changes to Other?");
    windowhosttest::PressBoxButton(box, IDYES);
    EXPECT_EQ(host.WaitForExit(10000), 0u) << "box: " << BoxNow(host);

    druvhost::Project saved;
    std::string error;
    ASSERT_EQ(druvhost::LoadProjectFile(path, saved, error), druvhost::ProjectLoad::Loaded) << error;
    ASSERT_NE(saved.Find(ToClassId(mixerClass_)), nullptr);
    EXPECT_EQ(saved.Find(ToClassId(mixerClass_))->receivedAt, kOldDate) << "the first mixer was received instead";
    ASSERT_EQ(saved.entries.size(), 2u) << "nothing else was received";
    const druvhost::ProjectEntry* other = saved.Find(ToClassId(secondClass_));
    ASSERT_NE(other, nullptr) << "the second mixer was not received";
    EXPECT_GT(other->receivedAt, kOldDate);
}

}  // namespace

namespace {

// Opening a project, choosing another instrument and closing again is no
// change: the window closes without a question and the file stays as it was;
// nor is a new project that nobody touched.
TEST_F(WindowHostProgramTest, LookingAtInstrumentsChangesNothing) {
    const std::string path = Project("Look.dhp");
    const std::string before = ReadText(path);
    {
        WindowHostProcess host;
        Start(host, path);
        HWND list = GetDlgItem(host.Main(), IDC_INSTRUMENTS);
        const int selected =
            static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        PostMessageW(list, WM_KEYDOWN, selected == 0 ? VK_DOWN : VK_UP, 1);
        ASSERT_TRUE(WaitUntil(kStartMs, [&] {
            return SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) != selected;
        })) << "the other instrument was not selected";
        Sleep(1000);
        EXPECT_EQ(host.Title(), "Look - DRUV Host");
        PostMessageW(host.Main(), WM_CLOSE, 0, 0);
        EXPECT_EQ(host.WaitForExit(15000), 0u) << "box: " << BoxNow(host);
        EXPECT_EQ(ReadText(path), before) << "the project file changed";
    }
    WindowHostProcess fresh;
    Start(fresh, "");
    EXPECT_EQ(fresh.Title(), "Untitled - DRUV Host");
    PostMessageW(fresh.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(fresh.WaitForExit(15000), 0u) << "box: " << BoxNow(fresh);
}

}  // namespace

namespace {

// Back Up All receives the first configuration of each instrument that
// answers, one after the other, and says what it did for each.
TEST_F(WindowHostProgramTest, BackUpAllReceivesEveryAnsweringInstrumentAndSaysSo) {
    const std::string path = Project("Backup.dhp");
    WindowHostProcess host;
    Start(host, path);
    PostMessageW(host.Main(), WM_COMMAND, ID_INSTRUMENT_BACK_UP_ALL, 0);
    HWND box = host.WaitForBox(60000);
    ASSERT_NE(box, nullptr) << "no summary; title " << host.Title();
    const std::string summary = windowhosttest::BoxText(box);
    const std::string pid = std::to_string(GetCurrentProcessId());
    for (const char* letter : {"A", "B"}) {
        const std::string line =
            std::string("Brindle & Koss SD-16 Window ") + letter + " " + pid + ": received Everything";
        EXPECT_NE(summary.find(line), std::string::npos) << "no line \"" << line << "\" in\n" << summary;
    }
    windowhosttest::PressBoxButton(box, IDOK);
    ASSERT_TRUE(WaitUntil(10000, [&] { return !IsWindow(box); })) << "the summary stayed";
    EXPECT_EQ(host.Title(), "Backup* - DRUV Host");
    PostMessageW(host.Main(), WM_CLOSE, 0, 0);
    box = host.WaitForBox(10000);
    ASSERT_NE(box, nullptr) << "closing with unsaved changes asked nothing";
    windowhosttest::PressBoxButton(box, IDYES);
    EXPECT_EQ(host.WaitForExit(10000), 0u) << "box: " << BoxNow(host);
    druvhost::Project saved;
    std::string error;
    ASSERT_EQ(druvhost::LoadProjectFile(path, saved, error), druvhost::ProjectLoad::Loaded) << error;
    for (const GUID* id : {&mixerClass_, &secondClass_}) {
        const druvhost::ProjectEntry* entry = saved.Find(ToClassId(*id));
        ASSERT_NE(entry, nullptr) << Braced(*id);
        EXPECT_GT(entry->receivedAt, kOldDate) << Braced(*id);
    }
}

}  // namespace

namespace {

std::vector<uint8_t> ReadBytes(const std::string& path) {
    const std::string text = ReadText(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

// The preview dialog once the file dialog before it has gone; null on timeout.
HWND WaitForPreview(const WindowHostProcess& host) {
    HWND preview = nullptr;
    WaitUntil(10000, [&] {
        preview = host.WaitForBox(0);
        return preview != nullptr && GetDlgItem(preview, IDC_SYX_ROWS) != nullptr;
    });
    return preview != nullptr && GetDlgItem(preview, IDC_SYX_ROWS) != nullptr ? preview : nullptr;
}

std::string Joined(const std::vector<std::string>& rows) {
    std::string text;
    for (const std::string& row : rows) text += row + "\n";
    return text;
}

// Picks `syx` through Import .syx... and waits for the preview.
HWND ImportThroughTheWindow(const WindowHostProcess& host, const std::string& syx) {
    PostMessageW(host.Main(), WM_COMMAND, ID_INSTRUMENT_IMPORT_SYX, 0);
    HWND dialog = host.WaitForBox(10000);
    if (dialog == nullptr) return nullptr;
    windowhosttest::ChooseInFileDialog(dialog, syx);
    return WaitForPreview(host);
}

// A .syx file of another unit (device ID 9) comes in through the window's
// preview; the saved project holds the file's dumps, which the simulated
// instrument then holds with its own ID once they are transmitted.
TEST_F(WindowHostProgramTest, AnotherUnitsSyxFileIsPreviewedImportedAndTransmitted) {
    const std::string path = Project("Syx.dhp");
    const std::string exported = folder_ + "\\other unit.syx";
    const RunResult out = RunDruvhost({"export", Braced(mixerClass_), "--project", path, "--out", exported});
    ASSERT_EQ(out.status, 0u) << out.output;
    std::string syx = ReadText(exported);
    for (size_t at = 0; at + 2 < syx.size(); ++at)
        if (static_cast<uint8_t>(syx[at]) == 0xF0) syx[at + 2] = 9;
    ASSERT_TRUE(WriteFileSafely(exported, syx.data(), syx.size()));

    WindowHostProcess host;
    Start(host, path);
    HWND preview = ImportThroughTheWindow(host, exported);
    ASSERT_NE(preview, nullptr) << "no preview; box: " << BoxNow(host);
    const std::vector<std::string> rows = windowhosttest::ListRows(preview, IDC_SYX_ROWS);
    EXPECT_EQ(rows, (std::vector<std::string>{"\"Current Scene\": message 1, 4105 bytes stored",
                                              "\"Setup\": message 2, 265 bytes stored"}))
        << Joined(rows);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(preview, IDOK))) << "OK disabled for a file that fits";
    windowhosttest::PressBoxButton(preview, IDOK);
    ASSERT_TRUE(WaitUntil(10000, [&] { return host.Title() == "Syx* - DRUV Host"; }))
        << "the import left the title at " << host.Title() << "; box: " << BoxNow(host);

    PostMessageW(host.Main(), WM_CLOSE, 0, 0);
    HWND box = host.WaitForBox(10000);
    ASSERT_NE(box, nullptr) << "closing after the import asked nothing";
    windowhosttest::PressBoxButton(box, IDYES);
    EXPECT_EQ(host.WaitForExit(10000), 0u) << "box: " << BoxNow(host);

    druvhost::Project saved;
    std::string error;
    ASSERT_EQ(druvhost::LoadProjectFile(path, saved, error), druvhost::ProjectLoad::Loaded) << error;
    const druvhost::ProjectEntry* entry = saved.Find(ToClassId(mixerClass_));
    ASSERT_NE(entry, nullptr);
    const std::string again = folder_ + "\\saved again.syx";
    const RunResult back = RunDruvhost({"export", Braced(mixerClass_), "--project", path, "--out", again});
    ASSERT_EQ(back.status, 0u) << back.output;
    const std::string stored = ReadText(again);
    EXPECT_TRUE(stored == syx) << "the project holds " << stored.size() << " bytes of SysX, not the file's "
                               << syx.size();
    EXPECT_EQ(entry->receivedAt, kOldDate) << "an import is not a receive";
    const RunResult transmit = RunDruvhost({"transmit", Braced(mixerClass_), "--project", path, "--id", "4"});
    EXPECT_NE(transmit.output.find("holds the project's dumps with its device ID 4 and valid checksums: yes"),
              std::string::npos)
        << transmit.output;
}

// A file that does not fit shows why, cannot be confirmed, and leaves the
// project as it was.
TEST_F(WindowHostProgramTest, ASyxFileThatDoesNotFitChangesNothing) {
    const std::string path = Project("Refused.dhp");
    const std::vector<uint8_t> before = ReadBytes(path);
    const std::string scene = folder_ + "\\scene only.syx";
    const RunResult out = RunDruvhost(
        {"export", Braced(mixerClass_), "--project", path, "--out", scene, "--item", "Current Scene"});
    ASSERT_EQ(out.status, 0u) << out.output;

    WindowHostProcess host;
    Start(host, path);
    HWND preview = ImportThroughTheWindow(host, scene);
    ASSERT_NE(preview, nullptr) << "no preview; box: " << BoxNow(host);
    wchar_t heading[1024] = {};
    GetDlgItemTextW(preview, IDC_SYX_HEADING, heading, 1024);
    const std::string says = "\"Setup\" expects 1 loop of one 264-byte message; the file ends after message 1";
    EXPECT_NE(Utf8Text(heading).find(says), std::string::npos) << Utf8Text(heading);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(preview, IDOK))) << "OK can be chosen for a file that does not fit";
    windowhosttest::PressBoxButton(preview, IDCANCEL);
    ASSERT_TRUE(WaitUntil(10000, [&] { return !IsWindow(preview); })) << "the preview stayed";
    EXPECT_EQ(host.Title(), "Refused - DRUV Host") << "a refused file changed the project";
    PostMessageW(host.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(host.WaitForExit(10000), 0u) << "box: " << BoxNow(host);
    EXPECT_TRUE(ReadBytes(path) == before) << "the project file changed";
}

// The box in front of the window other than `gone`, once `gone` has closed.
HWND NextBox(const WindowHostProcess& host, HWND gone) {
    HWND next = nullptr;
    WaitUntil(10000, [&] {
        next = IsWindow(gone) ? nullptr : host.WaitForBox(0);
        return next != nullptr;
    });
    return next;
}

// Asks for an export of the chosen configuration, answers whether each item
// gets a file of its own, and names `path` in the save dialog.
void ExportThroughTheWindow(const WindowHostProcess& host, int perItemAnswer, const std::string& path) {
    PostMessageW(host.Main(), WM_COMMAND, ID_INSTRUMENT_EXPORT_SYX, 0);
    HWND question = host.WaitForBox(10000);
    ASSERT_NE(question, nullptr) << "Export .syx... asked nothing";
    EXPECT_NE(BoxText(question).find("Export each item of"), std::string::npos) << BoxText(question);
    windowhosttest::PressBoxButton(question, perItemAnswer);
    HWND dialog = NextBox(host, question);
    ASSERT_NE(dialog, nullptr) << "no save dialog after the question";
    windowhosttest::ChooseInFileDialog(dialog, path);
    ASSERT_TRUE(WaitUntil(10000, [&] { return !IsWindow(dialog); })) << "the save dialog stayed";
}

// Export .syx... writes one file for all items or one per item, each holding
// what druvhost exports of the same project; a file that cannot be written
// stops the export, and the box says how many were written.
TEST_F(WindowHostProgramTest, ExportWritesOneFileOrOnePerItemAndSaysWhereAWriteFailed) {
    const std::string path = Project("Export.dhp");
    const std::string expectedAll = folder_ + "\\expected all.syx";
    const std::string expectedScene = folder_ + "\\expected scene.syx";
    const std::string expectedSetup = folder_ + "\\expected setup.syx";
    for (const auto& run : std::vector<std::vector<std::string>>{
             {"export", Braced(mixerClass_), "--project", path, "--out", expectedAll},
             {"export", Braced(mixerClass_), "--project", path, "--out", expectedScene, "--item", "Current Scene"},
             {"export", Braced(mixerClass_), "--project", path, "--out", expectedSetup, "--item", "Setup"}}) {
        const RunResult out = RunDruvhost(run);
        ASSERT_EQ(out.status, 0u) << out.output;
    }
    const std::string perItem = folder_ + "\\per item", refused = folder_ + "\\refused";
    CreateDirectoryW(WideText(perItem).c_str(), nullptr);
    CreateDirectoryW(WideText(refused).c_str(), nullptr);
    const std::string sceneName = SyxFileName(ListedName("A"), "Current Scene");
    const std::string setupName = SyxFileName(ListedName("A"), "Setup");
    // A folder where the second item's file would go cannot be replaced by it.
    CreateDirectoryW(WideText(refused + "\\" + setupName).c_str(), nullptr);

    WindowHostProcess host;
    Start(host, path);
    const std::string all = folder_ + "\\all.syx";
    ExportThroughTheWindow(host, IDNO, all);
    ASSERT_TRUE(WaitUntil(10000, [&] { return GetFileAttributesW(WideText(all).c_str()) != INVALID_FILE_ATTRIBUTES; }))
        << "no file for all items; box: " << BoxNow(host);
    EXPECT_TRUE(ReadBytes(all) == ReadBytes(expectedAll)) << ReadBytes(all).size() << " bytes, druvhost exports "
                                                          << ReadBytes(expectedAll).size();

    ExportThroughTheWindow(host, IDYES, perItem + "\\" + sceneName);
    const std::string scene = perItem + "\\" + sceneName, setup = perItem + "\\" + setupName;
    ASSERT_TRUE(WaitUntil(10000, [&] { return GetFileAttributesW(WideText(setup).c_str()) != INVALID_FILE_ATTRIBUTES; }))
        << "no file for the second item; box: " << BoxNow(host);
    EXPECT_TRUE(ReadBytes(scene) == ReadBytes(expectedScene)) << ReadBytes(scene).size() << " bytes";
    EXPECT_TRUE(ReadBytes(setup) == ReadBytes(expectedSetup)) << ReadBytes(setup).size() << " bytes";

    ExportThroughTheWindow(host, IDYES, refused + "\\" + sceneName);
    HWND failure = host.WaitForBox(10000);
    ASSERT_NE(failure, nullptr) << "a refused write said nothing";
    EXPECT_NE(BoxText(failure).find("The export failed after 1 file: cannot write"), std::string::npos)
        << BoxText(failure);
    windowhosttest::PressBoxButton(failure, IDOK);
    EXPECT_EQ(host.Title(), "Export - DRUV Host") << "an export changed the project";
    ASSERT_TRUE(WaitUntil(10000, [&] { return !IsWindow(failure); }));
    PostMessageW(host.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(host.WaitForExit(10000), 0u) << "box: " << BoxNow(host);
}

}  // namespace
