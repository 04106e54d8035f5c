// Values the builder refuses to store: names of files beside the definition
// that DRUV would not use, and configuration names that would split the
// host's list of configurations.
#include <string>

#include "builder/builder_messages.h"
#include "device/companion_files.h"
#include "tests/builder/builder_test_support.h"

namespace {

using Problem = CompanionFileProblem;

class RefusedValuesTest : public BuilderTest {};

// Each box is judged by its own rule, before the save dialog, and a refused
// save leaves the file and the record of changes as they were.
TEST_F(RefusedValuesTest, ASaveRefusesFileNamesDruvWouldNotUseAndSaysWhichAndWhy) {
    const struct {
        ControlId box;
        const char* label;
        const char* name;
        Problem problem;  // None: saved
    } cases[] = {
        {ids::kHelpFile, "PDF Help File", "", Problem::None},
        {ids::kHelpFile, "PDF Help File", "docs\\help.pdf", Problem::None},
        {ids::kHelpFile, "PDF Help File", "setup.exe", Problem::NotADocument},
        {ids::kHelpFile, "PDF Help File", "..\\..\\x.pdf", Problem::ParentFolder},
        {ids::kActivePngFile, "Active Device PNG file", "on.png", Problem::None},
        {ids::kActivePngFile, "Active Device PNG file", "help.pdf", Problem::NotAPicture},
        {ids::kInactivePngFile, "Inactive Device PNG file", "\\\\server\\off.png", Problem::OutsideFolder},
    };
    const std::string path = folder.File("named.druv");
    ASSERT_TRUE(SaveAs(path));
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.label) + " \"" + c.name + "\"");
        const std::string before = ReadWholeFile(path);
        Type(c.box, c.name);
        boxes.clear();
        requests.clear();
        const bool saved = builder.Command(builder_commands::kSave) && !builder.HasUnsavedChanges();
        EXPECT_EQ(c.problem == Problem::None, saved);
        if (c.problem == Problem::None) continue;
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(std::string(kCompanionNamesRefusedMessage) + "\n\"" + c.label + "\" names \"" + c.name +
                      "\": " + DescribeCompanionFileProblem(c.problem) + ".",
                  boxes[0]);
        EXPECT_EQ(before, ReadWholeFile(path));
        EXPECT_FALSE(builder.Document().SaveAs());
        EXPECT_TRUE(requests.empty()) << "no file is asked for a save that cannot happen";
        Type(c.box, "");
    }
}

TEST_F(RefusedValuesTest, AConfigurationNameWithASemicolonIsRefusedWithAMessage) {
    AddConfigurations({"Scenes"});
    AddTemplates({"Bank;1"});
    EXPECT_TRUE(boxes.empty()) << "a template's name may hold ';'";
    Select(ids::kConfigurations, 0);
    for (ControlId command : {ids::kConfigurationAdd, ids::kConfigurationRename}) {
        SCOPED_TRACE(command);
        boxes.clear();
        Type(ids::kConfigurationName, "Banks;Scenes");
        builder.Command(command);
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(kConfigurationNameSeparatorMessage, boxes[0]);
        EXPECT_EQ(std::vector<std::string>{"Scenes"}, view.Items(ids::kConfigurations));
        EXPECT_EQ("Scenes", device().Configuration(0)->Name());
        EXPECT_EQ("Banks;Scenes", view.Text(ids::kConfigurationName)) << "kept to be mended";
    }
    // Past the 255 bytes a name keeps, a ';' is cut off, not refused.
    std::string name;
    for (int i = 0; i < 128; ++i) name += "\xC3\xA9";
    boxes.clear();
    Type(ids::kConfigurationName, name + ";");
    builder.Command(ids::kConfigurationAdd);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(2u, device().ConfigurationCount());
}

}  // namespace
