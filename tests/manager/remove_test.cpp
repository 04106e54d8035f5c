#include <gtest/gtest.h>

#include <string>
#include <vector>

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

}  // namespace
