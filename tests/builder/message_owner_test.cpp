// Every box the builder shows, its own and those of the definition code it
// calls, is owned by its window: a box without an owner leaves the window
// free to be closed, or to start another command, under it.
#include <functional>
#include <string>

#include "builder/definition_identity.h"
#include "tests/builder/builder_test_support.h"

namespace {

class MessageOwnerTest : public BuilderTest {
protected:
    MessageOwnerTest() { builder.SetOwner(&window); }
    int window = 0;  // stands for the window's handle
};

TEST_F(MessageOwnerTest, EveryBoxIsOwnedByTheWindow) {
    const struct {
        const char* what;
        std::function<void()> show;
        const char* textStart;
    } cases[] = {
        {"a file that cannot be read",
         [&] { Open(folder.Write("broken.druv", "<DRUVDevice>")); }, "Error: unable to parse file"},
        {"a template of size 0 saved",
         [&] {
             AddTemplates({"Empty"});
             SaveAs(folder.File("empty.druv"));
         },
         "Warning! The Template Empty has a size of 0."},
        {"a file that cannot be written", [&] { SaveAs(folder.File("missing/x.druv")); },
         "Error: unable to write file"},
        {"identifiers that cannot be made",
         [&] {
             ClearIdentifiers(device());
             FillMissingIdentifiers(device(), [](GUID&) { return false; });
         },
         "Error creating"},
        {"a path that is too long", [&] { SaveAs(folder.File(std::string(300, 'p') + ".druv")); },
         "The path is too long."},
        {"a removal", [&] {
             AddConfigurations({"C"});
             Select(ids::kConfigurations, 0);
             builder.Command(ids::kConfigurationRemove);
         },
         "Are you sure"},
        {"a configuration name with ';'", [&] { AddConfigurations({"a;b"}); }, "A configuration's name"},
        {"a help file that would not be used",
         [&] {
             Type(ids::kHelpFile, "setup.exe");
             builder.Document().Save();
         },
         "The definition was not saved"},
        {"unsaved changes",
         [&] {
             Type(ids::kCompany, "Unsaved");
             builder.MayClose();
         },
         "Save changes to"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        answer = MessageAnswer::No;
        builder.Command(builder_commands::kNew);
        choices.clear();
        shownBoxes.clear();
        c.show();
        ASSERT_FALSE(shownBoxes.empty());
        EXPECT_EQ(0u, shownBoxes.front().text.find(c.textStart)) << shownBoxes.front().text;
        for (const RecordedBox& box : shownBoxes) EXPECT_EQ(&window, box.owner) << box.text;
    }
}

}  // namespace
