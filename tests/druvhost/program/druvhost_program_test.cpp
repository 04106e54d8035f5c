// druvhost.exe as a musician uses it, under the system's registry: install
// from a folder whose name has blanks and letters beyond ASCII, receive from
// the simulated instrument into a project file and transmit from it, and the
// ways that can go wrong (Ctrl+C during a receive is cancelled_receive.sh): a
// definition that cannot be read, a damaged project file, a port that has gone since the project
// was saved, an instrument that falls silent, an item without data to send.
// Each run installs devices under identifiers of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "druvhost/host/saved_settings.h"
#include "druvhost/ports/port_table.h"
#include "druvhost/project/project_file.h"
#include "platform/guid.h"
#include "platform/safe_file_write.h"
#include "platform/utf16_text.h"
#include "platform/utf8_file.h"
#include "tests/druvhost/program/druvhost_run.h"
#include "tests/support/test_paths.h"

namespace {

using druvhosttest::RunResult;
using druvhosttest::RunDruvhost;
using druvhosttest::RunDruvhostProgram;

// The port pair of druvhost-quiet-port.exe that nobody is connected to.
constexpr char kQuietPort[] = "DRUV Quiet Test Port";

std::string ReadText(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::FILE* file = OpenUtf8File(path, "rb");
    if (file == nullptr) return bytes;
    int c = 0;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(file);
    return bytes;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    return WriteFileSafely(path, bytes.data(), bytes.size());
}

std::string Unbraced(const GUID& guid) {
    char text[kBracedGuidLength + 1] = {};
    FormatBracedGuid(guid, text, sizeof text);
    return std::string(text + 1, kBracedGuidLength - 2);
}

// An example definition under identifiers of this run and a product name of
// its own, with `from` replaced by `to` if given; the name is returned as
// `list` shows it.
std::string WriteDefinition(const char* example, const std::string& path, const std::string& product,
                            GUID& classId, const std::string& from = {}, const std::string& to = {}) {
    std::string text = ReadText((druvtest::ExamplesDir() + "/" + example).c_str());
    if (!from.empty() && text.find(from) != std::string::npos) text.replace(text.find(from), from.size(), to);
    GUID editor{};
    CreateGuid(classId);
    CreateGuid(editor);
    const size_t device = text.find("<DeviceGUID>") + 12;
    text.replace(device, 36, Unbraced(classId));
    const size_t editorAt = text.find("<EditorGUID>") + 12;
    text.replace(editorAt, 36, Unbraced(editor));
    const size_t productAt = text.find("<Product>") + 9;
    text.replace(productAt, text.find("</Product>") - productAt, product);
    WriteFileSafely(path, text.data(), text.size());
    return product;
}

class DruvhostProgramTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = Utf16ToUtf8(reinterpret_cast<const char16_t*>(temp), wcslen(temp)) + "druvhost tëst Ω " +
                  std::to_string(GetCurrentProcessId());
        CreateDirectoryW(reinterpret_cast<const wchar_t*>(Utf8ToUtf16(folder_).c_str()), nullptr);
        mixerPath_ = folder_ + "\\Mixer Ä.druv";
        const std::string product = "SD-16 RunResult " + std::to_string(GetCurrentProcessId());
        WriteDefinition("brindle-koss-sd16-mixer.druv", mixerPath_, product, mixerClass_);
        mixerName_ = "Brindle & Koss " + product;
        install_ = RunDruvhost({"install", mixerPath_});
        project_ = folder_ + "\\Song ü.dhp";
        receive_ = RunDruvhost({"receive", mixerName_, "--project", project_});
    }

    static void TearDownTestSuite() {
        char text[kBracedGuidLength + 1] = {};
        FormatBracedGuid(mixerClass_, text, sizeof text);
        RunDruvhost({"uninstall", text});
        const std::u16string pattern = Utf8ToUtf16(folder_ + "\\*");
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW(reinterpret_cast<const wchar_t*>(pattern.c_str()), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::u16string name(reinterpret_cast<const char16_t*>(found.cFileName));
                if (name == u"." || name == u"..") continue;
                DeleteFileW(reinterpret_cast<const wchar_t*>((Utf8ToUtf16(folder_ + "\\") + name).c_str()));
            } while (FindNextFileW(find, &found));
            FindClose(find);
        }
        RemoveDirectoryW(reinterpret_cast<const wchar_t*>(Utf8ToUtf16(folder_).c_str()));
    }

    void SetUp() override {
        ASSERT_EQ(install_.status, 0u) << install_.output;
        ASSERT_EQ(receive_.status, 0u) << receive_.output;
    }

    // A copy of the received project under another name, for a test to change.
    std::string ProjectCopy(const char* name) {
        const std::string path = folder_ + "\\" + name;
        EXPECT_TRUE(WriteBytes(path, ReadBytes(project_)));
        return path;
    }

    static std::string folder_, mixerPath_, mixerName_, project_;
    static GUID mixerClass_;
    static RunResult install_, receive_;
};

std::string DruvhostProgramTest::folder_, DruvhostProgramTest::mixerPath_, DruvhostProgramTest::mixerName_,
    DruvhostProgramTest::project_;
GUID DruvhostProgramTest::mixerClass_;
RunResult DruvhostProgramTest::install_, DruvhostProgramTest::receive_;

TEST_F(DruvhostProgramTest, InstallsFromAFolderWithBlanksAndNonAsciiLettersAndUninstallsByName) {
    const std::string path = folder_ + "\\Äster synth.druv";
    GUID classId{};
    const std::string name = "Velmora Instruments " +
                             WriteDefinition("velmora-aster8-synth.druv", path, "Äster RunResult " +
                                             std::to_string(GetCurrentProcessId()), classId);
    const RunResult install = RunDruvhost({"install", path});
    ASSERT_EQ(install.status, 0u) << install.output;
    EXPECT_NE(install.output.find("successfully registered"), std::string::npos) << install.output;
    const RunResult list = RunDruvhost({"list"});
    EXPECT_NE(list.output.find(name), std::string::npos) << list.output;
    EXPECT_NE(list.output.find(path), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("1=All 2=Patches only"), std::string::npos) << list.output;

    std::string lower = name;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    const RunResult uninstall = RunDruvhost({"uninstall", lower});
    ASSERT_EQ(uninstall.status, 0u) << uninstall.output;
    EXPECT_EQ(RunDruvhost({"list"}).output.find(path), std::string::npos);
}

TEST_F(DruvhostProgramTest, ReceivedDumpsAreKeptInTheProjectAndTransmittedFromIt) {
    druvhost::Project project;
    const std::vector<uint8_t> bytes = ReadBytes(project_);
    ASSERT_EQ(druvhost::DecodeProject(bytes.data(), bytes.size(), project), druvhost::ProjectReadError::None);
    druvhost::ClassId classId;
    std::memcpy(classId.data(), &mixerClass_, classId.size());
    const druvhost::ProjectEntry* entry = project.Find(classId);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(druvhost::SavedItemsWithDumps(entry->filterData), 2);

    const RunResult transmit = RunDruvhost({"transmit", mixerName_, "--project", project_, "--id", "4"});
    ASSERT_EQ(transmit.status, 0u) << transmit.output;
    EXPECT_NE(transmit.output.find("stored 2 dump message(s); 0 refused"), std::string::npos) << transmit.output;
    EXPECT_NE(transmit.output.find("holds the project's dumps with its device ID 4 and valid checksums: yes"),
              std::string::npos)
        << transmit.output;
    // Transmitting never changes the project.
    EXPECT_EQ(ReadBytes(project_), bytes);
}

// A dump the instrument does not take (here one whose maker byte was changed)
// leaves its slot as it was: counting what was sent would not notice, so
// druvhost must compare, say which template differs, and fail.
TEST_F(DruvhostProgramTest, ATransmitThatLeavesTheInstrumentUnchangedIsJudgedNo) {
    druvhost::Project project;
    const std::vector<uint8_t> bytes = ReadBytes(project_);
    ASSERT_EQ(druvhost::DecodeProject(bytes.data(), bytes.size(), project), druvhost::ProjectReadError::None);
    std::vector<uint8_t> data = project.entries.at(0).filterData;
    const std::vector<std::vector<uint8_t>> items = druvhost::SavedItemData(data);
    ASSERT_FALSE(items.empty());
    ASSERT_GE(items[0].size(), 2u);
    ASSERT_EQ(items[0][0], 0xF0);
    const auto at = std::search(data.begin(), data.end(), items[0].begin(), items[0].end());
    ASSERT_NE(at, data.end());
    at[1] ^= 0x01;  // the maker byte after F0
    project.Put(project.entries.at(0).classId, data);
    const std::string path = folder_ + "\\other maker.dhp";
    ASSERT_TRUE(WriteBytes(path, druvhost::EncodeProject(project)));

    const RunResult transmit = RunDruvhost({"transmit", mixerName_, "--project", path, "--id", "4"});
    EXPECT_EQ(transmit.status, 1u) << transmit.output;
    EXPECT_NE(transmit.output.find("with its device ID 4 and valid checksums: no: template 0"), std::string::npos)
        << transmit.output;
}

TEST_F(DruvhostProgramTest, ADefinitionThatCannotBeReadIsReportedAndNotInstalled) {
    const std::string garbage = folder_ + "\\not a definition.druv";
    const std::string text = "this is not a device definition";
    ASSERT_TRUE(WriteFileSafely(garbage, text.data(), text.size()));
    for (const std::string& path : {garbage, folder_ + "\\missing.druv"}) {
        const RunResult install = RunDruvhost({"install", path});
        EXPECT_EQ(install.status, 1u) << install.output;
        EXPECT_NE(install.output.find("error"), std::string::npos) << install.output;
        EXPECT_EQ(RunDruvhost({"list"}).output.find(path), std::string::npos) << path;
    }
}

TEST_F(DruvhostProgramTest, DamagedProjectFilesAreRefusedAndLeftAsTheyWere) {
    struct Case {
        const char* name;
        void (*damage)(std::vector<uint8_t>&);
        const char* reason;
    } cases[] = {
        {"garbled.dhp", [](std::vector<uint8_t>& b) { b[b.size() / 2] ^= 0x20; }, "damaged"},
        {"truncated.dhp", [](std::vector<uint8_t>& b) { b.resize(b.size() / 2); }, "cut short"},
    };
    for (const Case& c : cases) {
        const std::string path = folder_ + "\\" + c.name;
        std::vector<uint8_t> bytes = ReadBytes(project_);
        c.damage(bytes);
        ASSERT_TRUE(WriteBytes(path, bytes));
        for (const char* command : {"transmit", "receive"}) {
            const RunResult run = RunDruvhost({command, mixerName_, "--project", path});
            EXPECT_EQ(run.status, 1u) << command << ": " << run.output;
            EXPECT_NE(run.output.find(c.reason), std::string::npos) << command << ": " << run.output;
            EXPECT_EQ(ReadBytes(path), bytes) << command << " " << c.name;
        }
    }
}

TEST_F(DruvhostProgramTest, APortGoneSinceTheProjectWasSavedIsRefusedUntilAnotherIsChosen) {
    std::vector<uint8_t> bytes = ReadBytes(project_);
    druvhost::Project project;
    ASSERT_EQ(druvhost::DecodeProject(bytes.data(), bytes.size(), project), druvhost::ProjectReadError::None);
    druvhost::SettingsChange change;
    change.outPort = druvhost::PortIdentity(druvhost::PortDirection::Output, "Unplugged USB MIDI");
    std::vector<uint8_t> data = project.entries.at(0).filterData;
    ASSERT_TRUE(druvhost::ChangeSavedSettings(data, change));
    project.Put(project.entries.at(0).classId, data);
    const std::string path = folder_ + "\\port gone.dhp";
    ASSERT_TRUE(WriteBytes(path, druvhost::EncodeProject(project)));

    const RunResult gone = RunDruvhost({"transmit", mixerName_, "--project", path});
    EXPECT_EQ(gone.status, 1u) << gone.output;
    EXPECT_NE(gone.output.find("output port saved in the project is gone"), std::string::npos) << gone.output;
    const RunResult chosen = RunDruvhost({"transmit", mixerName_, "--project", path, "--config", "Scene only", "--out",
                                    "druv simulated instrument"});
    EXPECT_EQ(chosen.status, 0u) << chosen.output;
    EXPECT_NE(chosen.output.find("stored 1 dump message(s)"), std::string::npos) << chosen.output;
}

// The musician's story: everything received, then one configuration again
// from an instrument that has fallen silent (here an interface nobody is
// connected to). The receive fails, says which item got nothing, and leaves
// the project with its older dumps byte for byte.
TEST_F(DruvhostProgramTest, AReceiveFromASilentInstrumentFailsAndLeavesTheProjectAsItWas) {
    const std::string path = ProjectCopy("silent scene.dhp");
    const std::vector<uint8_t> before = ReadBytes(path);
    ASSERT_FALSE(before.empty());
    const RunResult silent = RunDruvhostProgram(DRUVHOST_QUIET_PORT_EXE, {"receive", mixerName_, "--project", path,
                                                "--config", "Scene only", "--in", kQuietPort, "--out", kQuietPort});
    EXPECT_EQ(silent.status, 1u) << silent.output;
    EXPECT_NE(silent.output.find("the receive failed; the project file was not changed"), std::string::npos)
        << silent.output;
    EXPECT_NE(silent.output.find("  Current Scene: no dump came back"), std::string::npos) << silent.output;
    EXPECT_EQ(silent.output.find("  Setup"), std::string::npos) << "Setup was not part of this receive\n"
                                                                << silent.output;
    EXPECT_TRUE(ReadBytes(path) == before) << "the project file changed";

    // The same program receives from the simulated instrument as druvhost
    // does, so it was the silence that failed the receive.
    const RunResult answered = RunDruvhostProgram(DRUVHOST_QUIET_PORT_EXE,
                                                  {"receive", mixerName_, "--project", path, "--config", "Scene only"});
    EXPECT_EQ(answered.status, 0u) << answered.output;
}

TEST_F(DruvhostProgramTest, ATransmitOfAnItemWithoutDataFails) {
    const std::string path = folder_ + "\\scene only.dhp";
    const RunResult receive = RunDruvhost({"receive", mixerName_, "--project", path, "--config", "Scene only"});
    ASSERT_EQ(receive.status, 0u) << receive.output;
    const RunResult scene = RunDruvhost({"transmit", mixerName_, "--project", path, "--config", "Scene only"});
    EXPECT_EQ(scene.status, 0u) << scene.output;
    const RunResult everything = RunDruvhost({"transmit", mixerName_, "--project", path});
    EXPECT_EQ(everything.status, 1u) << everything.output;
    EXPECT_NE(everything.output.find("the transmit failed:"), std::string::npos) << everything.output;
    EXPECT_NE(everything.output.find("Setup - No data present."), std::string::npos) << everything.output;
}

// The plug-in hands hosts its configurations as one ';'-separated text; a
// ';' inside a name must neither split it nor move the ones after it.
TEST_F(DruvhostProgramTest, AConfigurationNameWithASemicolonIsListedAndChosenAsTheDefinitionHasIt) {
    const std::string path = folder_ + "\\semicolon mixer.druv";
    GUID classId{};
    const std::string name =
        "Brindle & Koss " + WriteDefinition("brindle-koss-sd16-mixer.druv", path,
                                            "SD-16 Semicolon " + std::to_string(GetCurrentProcessId()), classId,
                                            "<Configuration>Scene only<", "<Configuration>Scene; only this<");
    struct Uninstall {
        const GUID& classId;
        ~Uninstall() {
            char text[kBracedGuidLength + 1] = {};
            FormatBracedGuid(classId, text, sizeof text);
            RunDruvhost({"uninstall", text});
        }
    } uninstall{classId};
    const RunResult install = RunDruvhost({"install", path});
    ASSERT_EQ(install.status, 0u) << install.output;
    const RunResult list = RunDruvhost({"list"});
    const std::string listed = "0=All 1=Everything 2=Scene; only this";
    const size_t at = list.output.find(listed);
    ASSERT_NE(at, std::string::npos) << list.output;
    EXPECT_TRUE(list.output.find_first_of("\r\n", at) == at + listed.size()) << "nothing after it\n" << list.output;

    const std::string project = folder_ + "\\semicolon.dhp";
    const RunResult receive = RunDruvhost({"receive", name, "--project", project, "--config", "scene; only this"});
    EXPECT_EQ(receive.status, 0u) << receive.output;
    druvhost::Project saved;
    const std::vector<uint8_t> bytes = ReadBytes(project);
    ASSERT_EQ(druvhost::DecodeProject(bytes.data(), bytes.size(), saved), druvhost::ProjectReadError::None);
    ASSERT_EQ(saved.entries.size(), 1u);
    const std::vector<std::vector<uint8_t>> items = druvhost::SavedItemData(saved.entries[0].filterData);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_TRUE(druvhost::ItemHoldsDump(items[0])) << "Current Scene was chosen";
    EXPECT_FALSE(druvhost::ItemHoldsDump(items[1])) << "Setup was not";
    const RunResult half = RunDruvhost({"receive", name, "--project", project, "--config", "only this"});
    EXPECT_EQ(half.status, 1u) << half.output;
}


// The project's SysX messages of one device, as an export writes them: the
// stored dumps without their loop markers.
std::vector<uint8_t> StoredSysX(const std::string& projectPath, const GUID& device) {
    druvhost::Project project;
    const std::vector<uint8_t> bytes = ReadBytes(projectPath);
    std::vector<uint8_t> messages;
    if (druvhost::DecodeProject(bytes.data(), bytes.size(), project) != druvhost::ProjectReadError::None)
        return messages;
    druvhost::ClassId classId;
    std::memcpy(classId.data(), &device, classId.size());
    const druvhost::ProjectEntry* entry = project.Find(classId);
    if (entry == nullptr) return messages;
    for (const std::vector<uint8_t>& item : druvhost::SavedItemData(entry->filterData))
        for (uint8_t byte : item)
            if (byte != 0xFF) messages.push_back(byte);
    return messages;
}

// A .syx file of another unit (device ID 9) comes into a new project and goes
// out to the simulated instrument, which then holds it with its own ID: the
// real plug-in loads what the import wrote and renews the ID and checksums.
TEST_F(DruvhostProgramTest, AnExportedFileOfAnotherUnitIsImportedAndTransmittedWithTheInstrumentsId) {
    const std::string exported = folder_ + "\\mixer ö.syx";
    const RunResult out = RunDruvhost({"export", mixerName_, "--project", project_, "--out", exported});
    ASSERT_EQ(out.status, 0u) << out.output;
    EXPECT_NE(out.output.find("Exported 2 messages (4368 bytes)"), std::string::npos) << out.output;
    std::vector<uint8_t> syx = ReadBytes(exported);
    ASSERT_EQ(syx, StoredSysX(project_, mixerClass_)) << "export size " << syx.size();

    // Another unit's file: the ID byte after F0 7D is 9 in each message.
    for (size_t at = 0; at + 2 < syx.size(); ++at)
        if (syx[at] == 0xF0) syx[at + 2] = 9;
    const std::string other = folder_ + "\\other unit.syx";
    ASSERT_TRUE(WriteBytes(other, syx));
    const std::string imported = folder_ + "\\imported ü.dhp";
    const RunResult in = RunDruvhost({"import", mixerName_, other, "--project", imported, "--config", "Everything"});
    ASSERT_EQ(in.status, 0u) << in.output;
    EXPECT_NE(in.output.find("\"Current Scene\": 1 message (1 to 1), 4105 bytes stored"), std::string::npos)
        << in.output;
    EXPECT_NE(in.output.find("\"Setup\": 1 message (2 to 2)"), std::string::npos) << in.output;
    EXPECT_EQ(StoredSysX(imported, mixerClass_), syx) << "the imported dumps keep the file's bytes";

    const RunResult transmit = RunDruvhost({"transmit", mixerName_, "--project", imported, "--id", "4"});
    ASSERT_EQ(transmit.status, 0u) << transmit.output;
    EXPECT_NE(transmit.output.find("stored 2 dump message(s); 0 refused"), std::string::npos) << transmit.output;
    EXPECT_NE(transmit.output.find("holds the project's dumps with its device ID 4 and valid checksums: yes"),
              std::string::npos)
        << transmit.output;
}

TEST_F(DruvhostProgramTest, SyxFilesThatDoNotFitAndExportsOfNothingFailAndLeaveTheProjectAsItWas) {
    const std::string project = folder_ + "\\syx failures.dhp";
    const RunResult receive = RunDruvhost({"receive", mixerName_, "--project", project, "--config", "Scene only"});
    ASSERT_EQ(receive.status, 0u) << receive.output;
    const std::vector<uint8_t> before = ReadBytes(project);
    const std::string scene = folder_ + "\\scene.syx";
    const RunResult sceneOut =
        RunDruvhost({"export", mixerName_, "--project", project, "--out", scene, "--item", "current scene"});
    ASSERT_EQ(sceneOut.status, 0u) << sceneOut.output;

    struct Row {
        const char* what;
        std::vector<std::string> arguments;
        DWORD status;
        const char* says;
    };
    const std::string garbage = folder_ + "\\garbage.syx";
    ASSERT_TRUE(WriteBytes(garbage, {0xF0, 0x7D, 0x00, 0x31}));
    const Row rows[] = {
        {"a scene where the configuration also wants the setup",
         {"import", mixerName_, scene, "--project", project, "--config", "Everything"}, 1u,
         "\"Setup\" expects 1 loop of one 264-byte message; the file ends after message 1"},
        {"a scene into the setup", {"import", mixerName_, scene, "--project", project, "--item", "Setup"}, 1u,
         "message 1 (at byte 0) holds 4104 bytes"},
        {"a message without its end", {"import", mixerName_, garbage, "--project", project}, 1u,
         "at byte 0 has no end byte (F7)"},
        {"no such file", {"import", mixerName_, folder_ + "\\none.syx", "--project", project}, 1u, "cannot open"},
        {"an item without a dump",
         {"export", mixerName_, "--project", project, "--out", garbage, "--item", "Setup"}, 1u,
         "no dump is stored for \"Setup\""},
        {"both --item and --config", {"import", mixerName_, scene, "--project", project, "--item", "Setup",
                                      "--config", "1"}, 2u, "not both"},
    };
    for (const Row& row : rows) {
        const RunResult run = RunDruvhost(row.arguments);
        EXPECT_EQ(run.status, row.status) << row.what << "\n" << run.output;
        EXPECT_NE(run.output.find(row.says), std::string::npos) << row.what << "\n" << run.output;
        EXPECT_EQ(ReadBytes(project), before) << row.what << ": the project changed";
    }
    EXPECT_EQ(ReadBytes(garbage).size(), 4u) << "a failed export wrote its file";
}

}  // namespace
