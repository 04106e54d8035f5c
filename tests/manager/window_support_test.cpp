#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "manager/command_line_info.h"
#include "manager/file_association.h"
#include "manager/toolbar_buttons.h"
#include "platform/memory_registry.h"
#include "tests/platform/faulty_registry_editor.h"

namespace {

TEST(UpdateButtons, RemoveNeedsASelectionAndRemoveAllAnItem) {
    const struct { size_t items; std::vector<size_t> selected; bool remove; bool removeAll; } cases[] = {
        {0, {}, false, false}, {1, {}, false, true}, {1, {0}, true, true}, {3, {2}, true, true}};
    for (const auto& c : cases) {
        InstrumentList list;
        for (size_t i = 0; i < c.items; ++i) list.Append(InstrumentRecord{"item " + std::to_string(i), {}, {}});
        for (size_t index : c.selected) list.SetSelected(index, true);
        const ToolbarButtons buttons = UpdateButtons(list);
        EXPECT_EQ(c.remove, buttons.remove) << c.items << " items";
        EXPECT_EQ(c.removeAll, buttons.removeAll) << c.items << " items";
        EXPECT_TRUE(buttons.add && buttons.help);
    }
}

TEST(DRUVCommandLineInfo, SwitchesAreIgnoredAndFilesKeptInOrder) {
    DRUVCommandLineInfo info;
    info.ParseArguments({"/dde", "C:\\Devices\\b.druv", "-Embedding", "a b.druv", "/", "-", "C:\\Devices\\a.druv"});
    EXPECT_EQ((std::vector<std::string>{"C:\\Devices\\b.druv", "a b.druv", "C:\\Devices\\a.druv"}), info.Files());
}

TEST(FileAssociation, QuotesTheExecutableAndGoesOnPastARefusedWrite) {
    MemoryRegistry inner;
    FaultyRegistryEditor registry(inner);
    registry.RefuseWriteNumber(1);
    EXPECT_FALSE(WriteFileAssociation(registry, "C:\\Program Files\\DRUV", "C:\\Program Files\\DRUV\\DRUV Manager.exe"));
    EXPECT_FALSE(inner.KeyExists(RegistryRoot::ClassesRoot, ".druv\\DefaultIcon"));
    RegistryValue value;
    ASSERT_EQ(RegistryRead::Ok, inner.ReadValue(RegistryRoot::ClassesRoot, ".druv\\shell\\Open\\command", "", value));
    EXPECT_EQ("\"C:\\Program Files\\DRUV\\DRUV Manager.exe\" \"%1\"", value.AsText());

    EXPECT_TRUE(WriteFileAssociation(inner, "C:\\Program Files\\DRUV", "C:\\DRUV.exe"));
    ASSERT_EQ(RegistryRead::Ok, inner.ReadValue(RegistryRoot::ClassesRoot, ".druv\\DefaultIcon", "", value));
    EXPECT_EQ("C:\\Program Files\\DRUV\\DRUVManager.ico", value.AsText());
}

}  // namespace
