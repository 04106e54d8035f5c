#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/companion_files.h"
#include "manager/host_registry_layout.h"
#include "manager_test_support.h"
#include "tests/platform/faulty_registry_editor.h"

namespace {

constexpr GUID kOtherGuid = {0x0BADF00D, 0x1111, 0x2222, {3, 3, 3, 3, 3, 3, 3, 3}};
constexpr GUID kForeignGuid = {0xF0, 0, 0, {0}};

using Installing = ManagerTest;

bool HostKnows(RegistryEditor& registry, const GUID& device) {
    return registry.KeyExists(RegistryRoot::ClassesRoot, ClassKeyPath(device)) ||
           registry.KeyExists(RegistryRoot::LocalMachine, HostPluginKeyPath(device));
}

std::string HostValue(MemoryRegistry& registry, RegistryRoot root, const std::string& key, const char* name) {
    RegistryValue value;
    registry.ReadValue(root, key, name, value);
    return value.AsText();
}

TEST_F(Installing, ReportsTheOutcomeInOneInformationBox) {
    const std::string helpPath = folder.File("Manual.pdf");
    const std::string helpLine = "The Help File " + helpPath +
                                 " not found!\nIt should be placed in the same folder as the device definition.\n\n";
    const std::string pluginLine = std::string("The DRUV plug-in ") + kPluginPath +
                                   " not found!\nIt should be placed in the same folder as DRUV Manager.\n\n";
    const struct { const char* company; const char* help; bool helpThere; bool pluginThere; std::string text; } cases[] = {
        {"Maker", "", false, true, "Maker Desk has been successfully registered in Corvane"},
        {"Maker", "Manual.pdf", true, true, "Maker Desk has been successfully registered in Corvane"},
        {"Maker", "Manual.pdf", false, true, helpLine + "Maker Desk has been installed with the problems listed above."},
        {"Maker", "", false, false, pluginLine + "Maker Desk has been installed with the problems listed above."},
        {"100%s%n", "", false, true, "100%s%n Desk has been successfully registered in Corvane"},
    };
    for (const auto& c : cases) {
        MemoryRegistry fresh;
        InstrumentManager local({fresh, kManagerFolder, [&](const std::string& path) {
                                     return (c.pluginThere && path == kPluginPath) || (c.helpThere && path == helpPath);
                                 }, nullptr});
        boxes.boxes.clear();
        local.InstallDevice(Write("desk.druv", Definition{c.company, "Desk", kDeskGuid, kDeskEditor, c.help, 0}));
        ASSERT_EQ(1u, boxes.boxes.size());
        EXPECT_EQ(c.text, boxes.boxes[0].text);
        EXPECT_EQ("DRUV Manager", boxes.boxes[0].caption);
        EXPECT_EQ(MessageIcon::Information, boxes.boxes[0].icon);
        EXPECT_EQ(1u, local.List().Count()) << "installed, problems or not";
        EXPECT_TRUE(HostKnows(fresh, kDeskGuid));
    }
}

TEST_F(Installing, RefusalsWriteNothingAndSayWhy) {
    Install("first.druv", Named("Maker", "First", kOtherGuid));
    const std::string noGuid = folder.Write("noguid.druv", "<DRUVDevice><Company>Maker</Company></DRUVDevice>");
    const std::string nullGuid = Write("null.druv", Named("Maker", "Null", GUID{}));
    const std::string pageGuid = Write("page.druv", Named("Maker", "Page", kPropPageClassId));
    const std::string duplicate = Write("dup.druv", Named("MAKER", "first", kDeskGuid));
    const std::string foreign = Write("foreign.druv", Named("Maker", "Foreign", kForeignGuid));
    ASSERT_TRUE(registry.SetValue(RegistryRoot::ClassesRoot, ClassServerKeyPath(kForeignGuid), "",
                                  RegistryValue::Text("C:\\Other\\other.dll")));
    const std::string tooLong = folder.File(std::string(256 - folder.File("").size() - 5, 'p') + ".druv");
    const struct { std::string path; std::string text; } cases[] = {
        {noGuid, noGuid + "\nhas no DeviceGUID and cannot be installed.\n"
                          "Please save it again in DRUV Template Builder to give it one."},
        {nullGuid, nullGuid + "\nhas no DeviceGUID and cannot be installed.\n"
                              "Please save it again in DRUV Template Builder to give it one."},
        {pageGuid, pageGuid + "\nuses the class of the DRUV Editor {5464D9CE-17FD-4E28-A451-79A27E39BBC4}"
                              " as its DeviceGUID and cannot be installed."},
        {duplicate, "MAKER first\nis already installed in DRUV"},
        {foreign, "Maker Foreign\ncannot be installed: the class " + ClassIdText(kForeignGuid) +
                      " is registered to another program\n(C:\\Other\\other.dll)."},
        {tooLong, "The path of the device file\n" + tooLong +
                      "\nis longer than 255 characters and cannot be installed.\n"
                      "Please move the file to a folder with a shorter path."},
    };
    registry.ClearWriteLog();
    for (const auto& c : cases) {
        boxes.boxes.clear();
        manager.InstallDevice(c.path);
        ASSERT_EQ(1u, boxes.boxes.size()) << c.path;
        EXPECT_EQ(c.text, boxes.boxes[0].text);
        EXPECT_EQ(MessageIcon::Error, boxes.boxes[0].icon);
        EXPECT_TRUE(registry.WriteLog().empty()) << c.path;
        EXPECT_EQ(1u, manager.List().Count());
    }
}

TEST_F(Installing, AFileThatCannotBeReadShowsOnlyTheReadersBox) {
    manager.InstallDevice(folder.Write("broken.druv", "<DRUVDevice><Company>"));
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_EQ(kDefinitionMessageCaption, boxes.boxes[0].caption);
    EXPECT_TRUE(registry.WriteLog().empty());
    EXPECT_TRUE(manager.List().Empty());
}

TEST_F(Installing, ARefusedWriteRollsBackAndIsReportedAsFailure) {
    const std::string path = Write("desk.druv", Definition());
    for (size_t refused = 1; refused <= 10; ++refused) {
        MemoryRegistry inner;
        FaultyRegistryEditor faulty(inner);
        faulty.RefuseWriteNumber(refused);
        InstrumentManager local({faulty, kManagerFolder, nullptr, nullptr});
        boxes.boxes.clear();
        local.InstallDevice(path);
        ASSERT_EQ(1u, boxes.boxes.size()) << "write " << refused;
        EXPECT_EQ("Maker Desk\ncould not be installed: the registry refused its entries.\nInstalling instruments "
                  "needs administrator rights; please start DRUV Manager as administrator.",
                  boxes.boxes[0].text);
        EXPECT_FALSE(HostKnows(inner, kDeskGuid)) << "write " << refused;
        EXPECT_FALSE(inner.KeyExists(RegistryRoot::CurrentUser, kInstrumentListKeyPath)) << "no list saved";
        EXPECT_TRUE(local.List().Empty());
    }
}

TEST_F(Installing, OneDisplayNameIsFormedAndUsedEverywhere) {
    std::string accented;
    for (size_t i = 0; i < 120; ++i) accented += "\xC3\xA9";  // é, 240 bytes
    const std::string relative = "long.druv";
    Write(relative, Named(accented, "abcdefghijklm\xCE\xA9", kDeskGuid));
    manager.InstallDevice(relative);  // made absolute before anything else
    const std::string name = accented + " abcdefghijklm";  // Ω would make 256 bytes: left out whole
    ASSERT_EQ(1u, manager.List().Count());
    EXPECT_EQ(name, manager.List().Item(0).displayName);
    EXPECT_EQ(name, manager.List().Item(0).record.displayName);
    EXPECT_EQ(name, HostValue(registry, RegistryRoot::ClassesRoot, ClassKeyPath(kDeskGuid), ""));
    const std::string pluginKey = HostPluginKeyPath(kDeskGuid);
    EXPECT_EQ(name, HostValue(registry, RegistryRoot::LocalMachine, pluginKey, "ZN3_KEY_PLUGIN_NAME"));
    EXPECT_EQ(folder.File(relative), HostValue(registry, RegistryRoot::LocalMachine, pluginKey, "DevicePath"));

    manager.InstallDevice(Write("long2.druv", Named(accented, "ABCDEFGHIJKLM\xCE\xA9 2", kOtherGuid)));
    EXPECT_EQ(1u, manager.List().Count()) << "the same name once cut: already installed";
}

// A class that anything but this manager's plug-in serves or describes is
// never overwritten: the install stops with a message naming what is there
// (the kinds of class that are not ours: InspectClass's test).
TEST_F(Installing, AClassThatIsNotOursIsRefusedAndLeftAsItIs) {
    const RegistryRoot cr = RegistryRoot::ClassesRoot;
    const std::string device = ClassKeyPath(kDeskGuid);
    const std::string page = ClassKeyPath(kPropPageClassId);
    const struct {
        std::vector<std::pair<std::string, std::string>> keys;  // key (below HKCR), default text
        const char* appId;
        std::string entry;  // named in the refusal; empty when the install goes ahead
        const GUID* classId;
    } cases[] = {
        {{{device + "\\LocalServer32", "C:\\Other\\server.exe"}}, nullptr, "LocalServer32 C:\\Other\\server.exe",
         &kDeskGuid},
        {{{device, "Some Class"}}, "{0BADF00D-0000-0000-0000-000000000009}",
         "AppID {0BADF00D-0000-0000-0000-000000000009}", &kDeskGuid},
        {{{device + "\\InprocServer32", "D:\\Old DRUV\\DRUV.dll"}}, nullptr, "D:\\Old DRUV\\DRUV.dll", &kDeskGuid},
        {{{page + "\\LocalServer32", "C:\\Other\\server.exe"}}, nullptr, "LocalServer32 C:\\Other\\server.exe",
         &kPropPageClassId},
        // Installed here before, a key nobody serves, and the editor page of
        // another copy of the plug-in: all taken over.
        {{{device + "\\InprocServer32", "c:/program files/druv/DRUV.DLL"}}, nullptr, "", nullptr},
        {{{device, "Some Class"}}, nullptr, "", nullptr},
        {{{page + "\\InprocServer32", "D:\\Old DRUV\\DRUV.dll"}}, nullptr, "", nullptr},
    };
    const std::string path = Write("desk.druv", Definition());
    for (const auto& c : cases) {
        const std::string what = c.keys[0].first + " = " + c.keys[0].second;
        MemoryRegistry fresh;
        for (const auto& [key, text] : c.keys) ASSERT_TRUE(fresh.SetValue(cr, key, "", RegistryValue::Text(text)));
        if (c.appId) {
            ASSERT_TRUE(fresh.SetValue(cr, device, "AppID", RegistryValue::Text(c.appId)));
        }
        fresh.ClearWriteLog();
        InstrumentManager local({fresh, kManagerFolder, nullptr, nullptr});
        boxes.boxes.clear();
        local.InstallDevice(path);
        ASSERT_EQ(1u, boxes.boxes.size()) << what;
        if (c.entry.empty()) {
            EXPECT_EQ(MessageIcon::Information, boxes.boxes[0].icon) << what << ": " << boxes.boxes[0].text;
            EXPECT_EQ(1u, local.List().Count()) << what;
            RegistryValue server;
            ASSERT_EQ(RegistryRead::Ok, fresh.ReadValue(cr, ClassServerKeyPath(kDeskGuid), "", server)) << what;
            EXPECT_EQ(kPluginPath, server.AsText()) << what;
            continue;
        }
        EXPECT_EQ("Maker Desk\ncannot be installed: the class " + ClassIdText(*c.classId) +
                      " is registered to another program\n(" + c.entry + ").",
                  boxes.boxes[0].text);
        EXPECT_TRUE(fresh.WriteLog().empty()) << what;
        EXPECT_TRUE(local.List().Empty()) << what;
    }
}

// A shared definition may name files that are not used: the instrument is
// installed, and the report says which file will not be used and why.
TEST_F(Installing, CompanionFileNamesThatAreRefusedAreReported) {
    existingFiles.insert(folder.File("help.pdf"));
    const auto notOpened = [](const std::string& name, CompanionFileProblem problem) {
        return "The Help File " + name + " will not be opened: " + DescribeCompanionFileProblem(problem) + ".\n\n";
    };
    const auto notRead = [](const std::string& name, CompanionFileProblem problem) {
        return "The picture " + name + " will not be read: " + DescribeCompanionFileProblem(problem) + ".\n\n";
    };
    const struct { std::string help, active, inactive, problems; } cases[] = {
        {"help.pdf", "active.png", "inactive.png", ""},
        {"setup.exe", "", "", notOpened("setup.exe", CompanionFileProblem::NotADocument)},
        {"..\\..\\x.lnk", "", "", notOpened("..\\..\\x.lnk", CompanionFileProblem::ParentFolder)},
        {"C:\\Windows\\notepad.pdf", "", "",
         notOpened("C:\\Windows\\notepad.pdf", CompanionFileProblem::OutsideFolder)},
        {"\\\\server\\share\\help.pdf", "", "",
         notOpened("\\\\server\\share\\help.pdf", CompanionFileProblem::OutsideFolder)},
        {"", "C:\\pictures\\desk.png", "run.bat",
         notRead("C:\\pictures\\desk.png", CompanionFileProblem::OutsideFolder) +
             notRead("run.bat", CompanionFileProblem::NotAPicture)},
        {"run.bat", "..\\desk.png", "", notOpened("run.bat", CompanionFileProblem::NotADocument) +
                                            notRead("..\\desk.png", CompanionFileProblem::ParentFolder)},
    };
    for (const auto& c : cases) {
        MemoryRegistry fresh;
        InstrumentManager local({fresh, kManagerFolder,
                                 [this](const std::string& file) { return existingFiles.count(file) > 0; }, nullptr});
        Definition definition;
        definition.helpFile = c.help;
        definition.activePicture = c.active;
        definition.inactivePicture = c.inactive;
        boxes.boxes.clear();
        local.InstallDevice(Write("desk.druv", definition));
        ASSERT_EQ(1u, boxes.boxes.size()) << c.help;
        EXPECT_EQ(c.problems.empty() ? "Maker Desk has been successfully registered in Corvane"
                                     : c.problems + "Maker Desk has been installed with the problems listed above.",
                  boxes.boxes[0].text);
        EXPECT_EQ(1u, local.List().Count()) << "installed all the same";
    }
}

}  // namespace
