// The manager's core as its window lives and goes: its boxes name the window
// as their owner, files handed in while a box is up wait their turn, and an
// operation whose box outlived the window writes nothing more.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "manager/host_registry_layout.h"
#include "manager/instrument_list_store.h"
#include "manager_test_support.h"

namespace {

constexpr GUID kSecond = {0x5EC0, 0, 0, {2}};
constexpr GUID kThird = {0x7D1, 0, 0, {3}};

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

TEST_F(WindowLife, TheReadersBoxesAreOwnedByTheWindowAsTheManagersAre) {
    int window = 0;
    manager.SetMessageOwner(&window);
    BoxWatcher watcher;
    manager.InstallDevices({Write("desk.druv", Definition()), folder.Write("broken.druv", "<DRUVDevice>")});
    manager.RemoveAll();
    ASSERT_EQ(3u, watcher.boxes.size());
    EXPECT_EQ(kDefinitionMessageCaption, watcher.boxes[1].caption);
    for (const RecordedBox& box : watcher.boxes) EXPECT_EQ(&window, box.owner) << "[" << box.caption << "] " << box.text;
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
    manager.SetSelected(0, true);
    manager.Remove();  // First goes; handed in again during the question, it comes back last
    std::vector<std::string> texts;
    for (const RecordedBox& box : watcher.boxes) texts.push_back(box.text.substr(0, box.text.find(' ', 6)));
    EXPECT_EQ((std::vector<std::string>{"Maker First", "Maker Second", "Maker Third", "Are you", "Maker First"}), texts);
    EXPECT_EQ((std::vector<std::string>{"Maker Second", "Maker Third", "Maker First"}), StoredNames(registry));
}

// The window closes while one of the operation's boxes is up. What the
// window no longer shows must not be written: the stored list would lose
// every earlier instrument while their registrations stay.
TEST_F(WindowLife, AnOperationThatOutlivesItsWindowWritesNothingMore) {
    const std::vector<std::string> files = {folder.Write("broken.druv", "<DRUVDevice><Company>"),
                                            Write("second.druv", Named("Maker", "Second", kSecond)),
                                            Write("third.druv", Named("Maker", "Third", kThird))};
    const struct {
        const char* closingBox;  // the start of the box's text
        std::vector<std::string> dropped;  // none: Remove All
        std::vector<std::string> stored;
    } cases[] = {
        {"Error", files, {"Maker Earlier"}},  // the reader's box of the first dropped file
        {"Maker Second", {files[1], files[2]}, {"Maker Earlier", "Maker Second"}},
        {"Are you sure", {}, {"Maker Earlier"}},
    };
    const std::string earlier = Write("earlier.druv", Named("Maker", "Earlier", kDeskGuid));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.closingBox);
        MemoryRegistry fresh;
        InstrumentManager local({fresh, kManagerFolder, nullptr, nullptr});
        BoxWatcher watcher;
        local.InstallDevice(earlier);
        std::vector<RegistryWrite> writesBefore;
        watcher.onBox = [&](const MessageBoxRequest& box) {
            if (local.Closed() || std::string(box.text).rfind(c.closingBox, 0) != 0) return;
            writesBefore = fresh.WriteLog();
            local.Close();
        };
        c.dropped.empty() ? local.RemoveAll() : local.InstallDevices(c.dropped);

        ASSERT_TRUE(local.Closed()) << "no box began with \"" << c.closingBox << "\"";
        EXPECT_TRUE(fresh.WriteLog() == writesBefore)
            << fresh.WriteLog().size() - writesBefore.size() << " write(s) after the window closed";
        EXPECT_EQ(c.stored, StoredNames(fresh));
        const size_t boxesSeen = watcher.boxes.size();
        local.InstallDevices({files[2]});
        local.RemoveAll();
        EXPECT_EQ(boxesSeen, watcher.boxes.size()) << "a box after the window closed";
        EXPECT_FALSE(local.SaveInstrumentList());
        EXPECT_TRUE(fresh.WriteLog() == writesBefore);
    }
}

}  // namespace
