#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "manager/host_registration.h"
#include "manager/host_registry_layout.h"
#include "manager/instrument_list_store.h"
#include "manager_test_support.h"
#include "tests/platform/faulty_registry_editor.h"

namespace {

const GUID kDevices[3] = {{0xA0, 0, 0, {0}}, {0xB0, 0, 0, {0}}, {0xC0, 0, 0, {0}}};
const GUID kEditors[3] = {{0xA1, 0, 0, {0}}, {0xB1, 0, 0, {0}}, {0xC1, 0, 0, {0}}};
const char* const kNames[3] = {"Maker A", "Maker B", "Maker C"};

class Removing : public ManagerTest {
protected:
    // Installs A, B and C into `target`; each editor page class is
    // registered too, as an older install might have left it.
    void InstallThree(RegistryEditor& target, InstrumentManager& into) {
        for (int i = 0; i < 3; ++i) {
            Definition definition = Named("Maker", std::string(1, static_cast<char>('A' + i)), kDevices[i]);
            definition.editor = kEditors[i];
            into.InstallDevice(Write("device" + std::to_string(i) + ".druv", definition));
            ASSERT_TRUE(target.SetValue(RegistryRoot::ClassesRoot, ClassServerKeyPath(kEditors[i]), "",
                                        RegistryValue::Text(kPluginPath)));
        }
        ASSERT_EQ(3u, into.List().Count());
        boxes.boxes.clear();
    }

    static std::vector<std::string> Names(const InstrumentList& list) {
        std::vector<std::string> names;
        for (const InstrumentItem& item : list.Items()) names.push_back(item.displayName);
        return names;
    }

    static std::vector<std::string> StoredNames(RegistryEditor& source) {
        InstrumentList stored;
        LoadInstrumentList(source, stored);
        return Names(stored);
    }

    static bool Registered(RegistryEditor& source, int i) {
        return source.KeyExists(RegistryRoot::ClassesRoot, ClassKeyPath(kDevices[i])) &&
               source.KeyExists(RegistryRoot::ClassesRoot, ClassKeyPath(kEditors[i])) &&
               source.KeyExists(RegistryRoot::LocalMachine, HostPluginKeyPath(kDevices[i]));
    }
};

TEST_F(Removing, CommandsAskThenRemoveTheirItemsAndRewriteTheStoredList) {
    const std::string selectedQuestion = "Are you sure you want to uninstall the selected DRUV Instruments?";
    const std::string allQuestion = "Are you sure you want to uninstall all DRUV Instruments?";
    const std::vector<std::string> all(kNames, kNames + 3);
    const struct { bool removeAll; std::vector<size_t> selected; MessageAnswer answer; std::vector<std::string> left; } cases[] = {
        {false, {0, 2}, MessageAnswer::Yes, {"Maker B"}},
        {false, {0, 2}, MessageAnswer::No, all},
        {false, {}, MessageAnswer::Yes, all},
        {true, {0, 2}, MessageAnswer::Yes, {}},
        {true, {0, 2}, MessageAnswer::No, all},
    };
    for (const auto& c : cases) {
        MemoryRegistry fresh;
        InstrumentManager local({fresh, kManagerFolder, nullptr, nullptr});
        InstallThree(fresh, local);
        for (size_t index : c.selected) local.SetSelected(index, true);
        fresh.ClearWriteLog();
        MessageRecorder answers(c.answer);
        c.removeAll ? local.RemoveAll() : local.Remove();

        ASSERT_EQ(1u, answers.boxes.size());
        EXPECT_EQ(c.removeAll ? allQuestion : selectedQuestion, answers.boxes[0].text);
        EXPECT_EQ(MessageIcon::Question, answers.boxes[0].icon);
        EXPECT_EQ(MessageButtons::YesNo, answers.boxes[0].buttons);
        EXPECT_EQ(c.left, Names(local.List()));
        for (int i = 0; i < 3; ++i) {
            const bool left = local.List().FindName(kNames[i]) < local.List().Count();
            EXPECT_EQ(left, Registered(fresh, i)) << kNames[i];
        }
        EXPECT_TRUE(fresh.KeyExists(RegistryRoot::ClassesRoot, ClassKeyPath(kPropPageClassId)));
        EXPECT_EQ(c.left, StoredNames(fresh));
        EXPECT_EQ(c.answer == MessageAnswer::Yes, !fresh.WriteLog().empty()) << "the list is rewritten on Yes only";
    }
}

TEST_F(Removing, TwoFilesOfOneDeviceGuidInstallAndShareTheHostEntriesUntilBothGo) {
    Install("a.druv", Named("Maker", "A"));
    const std::string second = Install("b.druv", Named("Maker", "B"));
    ASSERT_EQ(2u, manager.List().Count());
    RegistryValue path;
    registry.ReadValue(RegistryRoot::LocalMachine, HostPluginKeyPath(kDeskGuid), "DevicePath", path);
    EXPECT_EQ(second, path.AsText());
    manager.SetSelected(0, true);
    manager.Remove();
    EXPECT_TRUE(registry.KeyExists(RegistryRoot::LocalMachine, HostPluginKeyPath(kDeskGuid)));
    EXPECT_TRUE(registry.KeyExists(RegistryRoot::ClassesRoot, ClassKeyPath(kDeskGuid)));
    manager.RemoveAll();
    EXPECT_FALSE(registry.KeyExists(RegistryRoot::LocalMachine, HostPluginKeyPath(kDeskGuid)));
    EXPECT_FALSE(registry.KeyExists(RegistryRoot::ClassesRoot, ClassKeyPath(kDeskGuid)));
}

TEST_F(Removing, AnItemTheRegistryWillNotLetGoStaysWithOneMessage) {
    MemoryRegistry inner;
    FaultyRegistryEditor faulty(inner);
    InstrumentManager local({faulty, kManagerFolder, nullptr, nullptr});
    InstallThree(inner, local);
    faulty.RefuseUnder(RegistryRoot::LocalMachine, HostPluginKeyPath(kDevices[1]), FaultyRegistryEditor::kDeleteKey);
    local.RemoveAll();
    EXPECT_EQ(std::vector<std::string>{"Maker B"}, Names(local.List()));
    EXPECT_EQ(std::vector<std::string>{"Maker B"}, StoredNames(inner));
    ASSERT_EQ(2u, boxes.boxes.size()) << "the question and one error";
    EXPECT_EQ("The registry entries of these instruments could not be removed, so they stay in the list:\n"
              "Maker B\n\nRemoving instruments needs administrator rights.",
              boxes.boxes[1].text);
    EXPECT_EQ(MessageIcon::Error, boxes.boxes[1].icon);
}

TEST_F(Removing, ClosingFreesTheItemsWithoutTouchingTheRegistry) {
    InstallThree(registry, manager);
    registry.ClearWriteLog();
    manager.SetSelected(1, true);
    manager.RemoveEntries(true);
    EXPECT_TRUE(manager.List().Empty());
    EXPECT_TRUE(registry.WriteLog().empty());
    EXPECT_EQ(3u, StoredNames(registry).size());
}

constexpr GUID kNamed = {0xF00D0001, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr GUID kNamedEditor = {0xF00D0002, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr char kDevicePath[] = "C:\\Devices\\Desk.druv";
const std::string kNamedClass = ClassKeyPath(kNamed);
const std::string kNamedHostEntry = HostPluginKeyPath(kNamed);

void Put(MemoryRegistry& registry, RegistryRoot root, const std::string& key, const std::string& name,
         const std::string& text) {
    ASSERT_TRUE(registry.SetValue(root, key, name, RegistryValue::Text(text)));
}

void PutClass(MemoryRegistry& registry, const GUID& classId, const std::string& server) {
    Put(registry, RegistryRoot::ClassesRoot, ClassKeyPath(classId), "", "Some Class");
    Put(registry, RegistryRoot::ClassesRoot, ClassServerKeyPath(classId), "", server);
}

void PutHostEntry(MemoryRegistry& registry, const std::string& devicePath) {
    Put(registry, RegistryRoot::LocalMachine, kNamedHostEntry, "ZN3_KEY_PLUGIN_NAME", "Some Plug-in");
    if (!devicePath.empty()) Put(registry, RegistryRoot::LocalMachine, kNamedHostEntry, "DevicePath", devicePath);
}

InstrumentRecord Listed(const char* name, const char* path = kDevicePath) {
    return InstrumentRecord{name, kNamed, kNamedEditor, path ? DevicePathMark(path) : DevicePathMark()};
}

class RemovingListed : public ManagerTest {
protected:
    // Stores the list of `listed`, loads it, selects every item and removes them.
    void RemoveAllOf(MemoryRegistry& target, InstrumentManager& into, const std::vector<InstrumentRecord>& listed) {
        InstrumentList stored;
        for (const InstrumentRecord& record : listed) stored.Append(record);
        ASSERT_TRUE(SaveInstrumentList(target, stored));
        into.LoadInstrumentList();
        ASSERT_EQ(listed.size(), into.List().Count());
        target.ClearWriteLog();
        boxes.boxes.clear();
        into.RemoveAll();
    }
};

// The elevated manager deletes machine-wide what a per-user record names only
// when it is what an install of this manager wrote there (the kinds of class
// that are not ours: InspectClass's test).
TEST_F(RemovingListed, ARecordNamingEntriesThatAreNotOursIsTakenOffWithNothingDeleted) {
    const std::string named = "the class " + ClassIdText(kNamed);
    const std::string host = "the host's entry " + ClassIdText(kNamed);
    const struct {
        InstrumentRecord record;
        std::function<void(MemoryRegistry&)> machine;
        std::string reason;
    } cases[] = {
        {Listed("Maker Other"),
         [](MemoryRegistry& r) {
             PutClass(r, kNamed, "C:\\Other\\other.dll");
             PutHostEntry(r, kDevicePath);
         },
         named + " is registered to another program (C:\\Other\\other.dll)"},
        {Listed("Maker Local"),  // no in-process server at all
         [](MemoryRegistry& r) {
             Put(r, RegistryRoot::ClassesRoot, kNamedClass + "\\LocalServer32", "", "C:\\Other\\server.exe");
             PutHostEntry(r, kDevicePath);
         },
         named + " is registered to another program (LocalServer32 C:\\Other\\server.exe)"},
        {Listed("Maker Service"),
         [](MemoryRegistry& r) { Put(r, RegistryRoot::ClassesRoot, kNamedClass, "AppID", "{X}"); },
         named + " is registered to another program (AppID {X})"},
        {Listed("Maker Empty"),
         [](MemoryRegistry& r) { Put(r, RegistryRoot::ClassesRoot, kNamedClass, "", "Some Class"); },
         named + " names no server"},
        {Listed("Maker Path"), [](MemoryRegistry& r) { PutHostEntry(r, "C:\\Other\\plugin.cfg"); },
         host + " names another device file (C:\\Other\\plugin.cfg)"},
        {Listed("Maker NoPath"), [](MemoryRegistry& r) { PutHostEntry(r, ""); }, host + " names no device file"},
        {Listed("Maker Legacy", nullptr), [](MemoryRegistry& r) { PutHostEntry(r, kDevicePath); },
         host + " belongs to no class of this DRUV Manager"},
        {Listed("Maker Editor"),
         [](MemoryRegistry& r) {
             PutClass(r, kNamed, kPluginPath);
             PutHostEntry(r, kDevicePath);
             PutClass(r, kNamedEditor, "C:\\Other\\other.dll");
         },
         "the class " + ClassIdText(kNamedEditor) + " is registered to another program (C:\\Other\\other.dll)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record.displayName);
        MemoryRegistry fresh;
        c.machine(fresh);
        // One instrument of this manager's beside it, which goes as it should.
        InstrumentManager local({fresh, kManagerFolder, nullptr, nullptr});
        local.InstallDevice(Write("desk.druv", Named("Maker", "Desk", kDevices[0])));
        RemoveAllOf(fresh, local, {c.record, local.List().Item(0).record});

        EXPECT_TRUE(local.List().Empty());
        InstrumentList stored;
        LoadInstrumentList(fresh, stored);
        EXPECT_TRUE(stored.Empty()) << stored.Count() << " item(s) still stored";
        EXPECT_FALSE(fresh.KeyExists(RegistryRoot::ClassesRoot, ClassKeyPath(kDevices[0])));
        EXPECT_EQ(2u, boxes.boxes.size()) << "the question and one warning";
        if (boxes.boxes.size() == 2) {
            EXPECT_EQ("These instruments were taken off the list, but their registry entries were left as they are: "
                      "they are not the entries this DRUV Manager makes.\n\n" +
                          c.record.displayName + ": " + c.reason + "\n",
                      boxes.boxes[1].text);
            EXPECT_EQ(MessageIcon::Warning, boxes.boxes[1].icon);
        }
        for (const RegistryWrite& write : fresh.WriteLog()) {
            EXPECT_TRUE(write.root == RegistryRoot::CurrentUser ||
                        write.keyPath.find(ClassIdText(kDevices[0])) != std::string::npos)
                << "written: " << write.keyPath;
        }
    }
}

// What this manager wrote stays removable however its paths are spelled
// now, and whether an earlier version kept the device path in its record.
TEST_F(RemovingListed, OurEntriesGoInAnySpellingAndFromRecordsOfEarlierVersions) {
    std::string longFolder = "C:\\";
    for (int i = 0; i < 130; ++i) longFolder += "\xC3\xA9";  // é: 260 bytes, too long for the record's field
    const std::string longPath = longFolder + "\\Desk.druv";
    const std::string shortPlugin = "C:\\PROGRA~1\\DRUV\\DRUV.dll";
    const SameFileFunction shortNames = [&](const std::string& a, const std::string& b) {
        return (a == shortPlugin && b == kPluginPath) || (a == kPluginPath && b == shortPlugin);
    };
    const struct {
        const char* what;
        InstrumentRecord record;
        std::string server;
        std::string devicePath;
        SameFileFunction sameFile;
        bool removed;
    } cases[] = {
        {"as this version writes them", Listed("Maker A"), kPluginPath, kDevicePath, nullptr, true},
        {"a record of an earlier version", Listed("Maker B", nullptr), kPluginPath, kDevicePath, nullptr, true},
        {"another case and slashes", Listed("Maker C"), "c:/program files/druv/druv.dll", "c:\\DEVICES\\desk.druv",
         nullptr, true},
        {"a path kept as its digest", Listed("Maker D", longPath.c_str()), kPluginPath, longPath, nullptr, true},
        {"a digest of another path", Listed("Maker E", longPath.c_str()), kPluginPath, longPath + "x", nullptr, false},
        {"a short name the file system knows", Listed("Maker F"), shortPlugin, kDevicePath, shortNames, true},
        {"a short name with no one to ask", Listed("Maker G"), shortPlugin, kDevicePath, nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryRegistry fresh;
        PutClass(fresh, kNamed, c.server);
        PutHostEntry(fresh, c.devicePath);
        PutClass(fresh, kNamedEditor, kPluginPath);  // as an older install might have left it
        InstrumentManager local({fresh, kManagerFolder, nullptr, nullptr, c.sameFile});
        RemoveAllOf(fresh, local, {c.record});
        EXPECT_TRUE(local.List().Empty());
        EXPECT_EQ(!c.removed, fresh.KeyExists(RegistryRoot::ClassesRoot, kNamedClass));
        EXPECT_EQ(!c.removed, fresh.KeyExists(RegistryRoot::ClassesRoot, ClassKeyPath(kNamedEditor)));
        EXPECT_EQ(!c.removed, fresh.KeyExists(RegistryRoot::LocalMachine, kNamedHostEntry));
        EXPECT_EQ(c.removed ? 1u : 2u, boxes.boxes.size()) << "a warning only when something was left";
    }
}

}  // namespace
