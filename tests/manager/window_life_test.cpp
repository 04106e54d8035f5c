// The manager's core as its window lives and goes: every box it shows names
// the window as its owner, files handed in while a box is up wait their turn,
// and an operation whose box outlived the window writes nothing more.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "manager/host_registry_layout.h"
#include "manager/instrument_list_store.h"
#include "manager_test_support.h"
#include "tests/platform/faulty_registry_editor.h"

namespace {

constexpr GUID kSecond = {0x5EC0, 0, 0, {2}};
constexpr GUID kThird = {0x7D1, 0, 0, {3}};
constexpr GUID kForeign = {0xF0F0, 0, 0, {4}};

std::vector<std::string> StoredNames(RegistryEditor& registry) {
    InstrumentList stored;
    LoadInstrumentList(registry, stored);
    std::vector<std::string> names;
    for (const InstrumentItem& item : stored.Items()) names.push_back(item.displayName);
    return names;
}

// Records every box and answers Yes; `onBox` runs while the box is "up".
class BoxWatcher {
public:
    std::function<void(const MessageBoxRequest&)> onBox;
    std::vector<RecordedBox> boxes;

private:
    ScopedMessageBoxHandler guard_{[this](const MessageBoxRequest& request) {
        boxes.push_back({request.text, request.caption, request.icon, request.buttons, request.owner});
        if (onBox) onBox(request);
        return request.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }};
};

using WindowLife = ManagerTest;

TEST_F(WindowLife, EveryBoxIsOwnedByTheWindow) {
    MemoryRegistry inner;
    FaultyRegistryEditor faulty(inner);
    InstrumentList stored;  // a record naming another program's class
    stored.Append(InstrumentRecord{"Maker Foreign", kForeign, {}, DevicePathMark("C:\\x.druv")});
    ASSERT_TRUE(SaveInstrumentList(inner, stored));
    ASSERT_TRUE(inner.SetValue(RegistryRoot::ClassesRoot, ClassServerKeyPath(kForeign), "",
                               RegistryValue::Text("C:\\Other\\other.dll")));
    int window = 0;
    InstrumentManager local({faulty, kManagerFolder, nullptr, nullptr});
    local.SetMessageOwner(&window);
    local.LoadInstrumentList();
    BoxWatcher watcher;

    local.InstallDevices({Write("desk.druv", Definition()), folder.Write("broken.druv", "<DRUVDevice>"),
                          Write("again.druv", Definition())});
    faulty.RefuseUnder(RegistryRoot::LocalMachine, HostPluginKeyPath(kDeskGuid), FaultyRegistryEditor::kDeleteKey);
    faulty.RefuseUnder(RegistryRoot::CurrentUser, kInstrumentListKeyPath);
    local.RemoveAll();

    const std::vector<std::string> expected = {
        "Maker Desk has been successfully registered in Corvane",
        "",  // the reader's own
        "Maker Desk\nis already installed in DRUV",
        "Are you sure you want to uninstall all DRUV Instruments?",
        "The registry entries of these instruments could not be removed",
        "These instruments were taken off the list",
        kInstrumentListKeyPath};
    ASSERT_EQ(expected.size(), watcher.boxes.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const RecordedBox& box = watcher.boxes[i];
        EXPECT_EQ(0u, box.text.rfind(expected[i], 0)) << box.text;
        EXPECT_EQ(&window, box.owner) << "[" << box.caption << "] " << box.text;
    }
    EXPECT_EQ(kDefinitionMessageCaption, watcher.boxes[1].caption);
}

TEST_F(WindowLife, FilesHandedInWhileABoxIsUpWaitTheirTurn) {
    const std::string first = Write("first.druv", Named("Maker", "First", kDeskGuid));
    const std::string second = Write("second.druv", Named("Maker", "Second", kSecond));
    const std::string third = Write("third.druv", Named("Maker", "Third", kThird));
    BoxWatcher watcher;
    bool handedIn = false;
    watcher.onBox = [&](const MessageBoxRequest& box) {
        if (!handedIn && std::string(box.text).rfind("Maker First", 0) == 0) {
            handedIn = true;
            manager.InstallDevices({third});
        }
        if (box.buttons == MessageButtons::YesNo) manager.InstallDevices({first});
    };
    manager.InstallDevices({first, second});
    ASSERT_EQ(3u, watcher.boxes.size());
    EXPECT_EQ("Maker First has been successfully registered in Corvane", watcher.boxes[0].text);
    EXPECT_EQ("Maker Second has been successfully registered in Corvane", watcher.boxes[1].text);
    EXPECT_EQ("Maker Third has been successfully registered in Corvane", watcher.boxes[2].text);

    // During a removal's question: installed once the removal is done.
    manager.SetSelected(0, true);
    watcher.boxes.clear();
    manager.Remove();
    ASSERT_EQ(2u, watcher.boxes.size());
    EXPECT_EQ("Maker First has been successfully registered in Corvane", watcher.boxes[1].text);
    EXPECT_EQ((std::vector<std::string>{"Maker Second", "Maker Third", "Maker First"}), StoredNames(registry));
}

// The window closes while one of the operation's boxes is up (a box that
// has no owner lets that happen). What the window no longer shows must not
// be written: the stored list would lose every earlier instrument.
TEST_F(WindowLife, AnOperationThatOutlivesItsWindowWritesNothingMore) {
    const struct {
        const char* what;
        const char* closingBox;  // the start of the box's text
        std::function<void(InstrumentManager&, const std::vector<std::string>&)> operation;
        bool refuseRemoval;
        std::vector<std::string> stored;
    } cases[] = {
        {"the reader's box of the first dropped file", "Error",
         [](InstrumentManager& m, const std::vector<std::string>& files) { m.InstallDevices(files); }, false,
         {"Maker Earlier"}},
        {"the report of the second dropped file", "Maker Second",
         [](InstrumentManager& m, const std::vector<std::string>& files) {
             m.InstallDevices({files[1], files[2]});
         },
         false, {"Maker Earlier", "Maker Second"}},
        {"the question of Remove All", "Are you sure",
         [](InstrumentManager& m, const std::vector<std::string>&) { m.RemoveAll(); }, false, {"Maker Earlier"}},
        {"the removal's error", "The registry entries",
         [](InstrumentManager& m, const std::vector<std::string>&) { m.RemoveAll(); }, true, {"Maker Earlier"}},
    };
    const std::vector<std::string> files = {folder.Write("broken.druv", "<DRUVDevice><Company>"),
                                            Write("second.druv", Named("Maker", "Second", kSecond)),
                                            Write("third.druv", Named("Maker", "Third", kThird))};
    const std::string earlier = Write("earlier.druv", Named("Maker", "Earlier", kDeskGuid));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryRegistry inner;
        FaultyRegistryEditor faulty(inner);
        InstrumentManager local({faulty, kManagerFolder, nullptr, nullptr});
        BoxWatcher watcher;
        local.InstallDevice(earlier);
        ASSERT_EQ(1u, local.List().Count());
        if (c.refuseRemoval) {
            faulty.RefuseUnder(RegistryRoot::LocalMachine, HostPluginKeyPath(kDeskGuid),
                               FaultyRegistryEditor::kDeleteKey);
        }
        watcher.boxes.clear();
        inner.ClearWriteLog();
        bool closed = false;
        std::vector<RegistryWrite> writesBefore;
        watcher.onBox = [&](const MessageBoxRequest& box) {
            if (closed || std::string(box.text).rfind(c.closingBox, 0) != 0) return;
            closed = true;
            writesBefore = inner.WriteLog();
            local.Close();
        };
        c.operation(local, files);

        ASSERT_TRUE(closed) << "no box began with \"" << c.closingBox << "\"";
        EXPECT_TRUE(local.Closed());
        EXPECT_TRUE(local.List().Empty());
        EXPECT_TRUE(inner.WriteLog() == writesBefore) << inner.WriteLog().size() - writesBefore.size()
                                                      << " write(s) after the window closed";
        EXPECT_EQ(c.stored, StoredNames(inner));
        EXPECT_FALSE(inner.KeyExists(RegistryRoot::LocalMachine, HostPluginKeyPath(kThird))) << "third installed";

        // Nothing more happens through the closed manager.
        const size_t boxesSeen = watcher.boxes.size();
        local.InstallDevices({files[2]});
        local.InstallDevice(files[2]);
        local.RemoveAll();
        EXPECT_EQ(boxesSeen, watcher.boxes.size());
        EXPECT_FALSE(local.SaveInstrumentList());
        EXPECT_TRUE(inner.WriteLog() == writesBefore);
    }
}

}  // namespace
