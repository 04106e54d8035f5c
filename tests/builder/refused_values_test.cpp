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
        {ids::kHelpFile, "PDF Help File", "..\\..\\x.lnk", Problem::ParentFolder},
        {ids::kHelpFile, "PDF Help File", "C:\\Windows\\help.pdf", Problem::OutsideFolder},
        {ids::kHelpFile, "PDF Help File", "online.png", Problem::NotADocument},
        {ids::kActivePngFile, "Active Device PNG file", "online.png", Problem::None},
        {ids::kActivePngFile, "Active Device PNG file", "help.pdf", Problem::NotAPicture},
        {ids::kActivePngFile, "Active Device PNG file", "../on.png", Problem::ParentFolder},
        {ids::kInactivePngFile, "Inactive Device PNG file", "offline.bmp", Problem::None},
        {ids::kInactivePngFile, "Inactive Device PNG file", "\\\\server\\off.png", Problem::OutsideFolder},
        {ids::kInactivePngFile, "Inactive Device PNG file", "CON.png", Problem::ReservedName},
    };
    const std::string path = folder.File("named.druv");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.label) + " \"" + c.name + "\"");
        answer = MessageAnswer::No;
        builder.Command(builder_commands::kNew);
        choices.clear();
        std::filesystem::remove(path);
        Type(c.box, c.name);
        boxes.clear();
        requests.clear();
        choices.push_back(path);
        // Both the first save, which asks for a name, and a save to a file.
        const bool savedAs = builder.Document().Save();
        if (c.problem == Problem::None) {
            EXPECT_TRUE(savedAs);
            EXPECT_TRUE(boxes.empty()) << boxes.front();
            DRUVDevice saved;
            ReadDefinition(path, saved);
            EXPECT_EQ(c.name, c.box == ids::kHelpFile ? saved.HelpFile()
                              : c.box == ids::kActivePngFile ? saved.ActivePNGFile()
                                                             : saved.InactivePNGFile());
            continue;
        }
        EXPECT_FALSE(savedAs);
        EXPECT_TRUE(requests.empty()) << "no file is asked for a save that cannot happen";
        EXPECT_FALSE(std::filesystem::exists(path));
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(std::string(kCompanionNamesRefusedMessage) + "\n\"" + c.label + "\" names \"" + c.name +
                      "\": " + DescribeCompanionFileProblem(c.problem) + ".",
                  boxes[0]);
        EXPECT_EQ(MessageIcon::Error, shownBoxes[0].icon);

        // The same with a file: it keeps what it held.
        Type(c.box, "");
        ASSERT_TRUE(SaveAs(path));
        const std::string before = ReadWholeFile(path);
        Type(c.box, c.name);
        Type(ids::kCompany, "Changed");
        EXPECT_FALSE(builder.Document().Save());
        EXPECT_EQ(before, ReadWholeFile(path));
        EXPECT_EQ("", device().Company()) << "nothing was stored";
    }
}

TEST_F(RefusedValuesTest, EveryRefusedFileNameIsNamedInOneMessage) {
    Type(ids::kHelpFile, "run.bat");
    Type(ids::kActivePngFile, "on.png");
    Type(ids::kInactivePngFile, "off.exe");
    EXPECT_FALSE(SaveAs(folder.File("two.druv")));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(std::string(kCompanionNamesRefusedMessage) + "\n\"PDF Help File\" names \"run.bat\": " +
                  DescribeCompanionFileProblem(Problem::NotADocument) +
                  ".\n\"Inactive Device PNG file\" names \"off.exe\": " +
                  DescribeCompanionFileProblem(Problem::NotAPicture) + ".",
              boxes[0]);
}

TEST_F(RefusedValuesTest, AConfigurationNameWithASemicolonIsRefusedWithAMessage) {
    AddConfigurations({"Scenes"});
    AddTemplates({"Bank;1"});
    EXPECT_TRUE(boxes.empty()) << "a template's name may hold ';'";
    const struct {
        const char* what;
        ControlId command;
    } cases[] = {
        {"Add", ids::kConfigurationAdd},
        {"Ed", ids::kConfigurationRename},
    };
    Select(ids::kConfigurations, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.clear();
        Type(ids::kConfigurationName, "Banks;Scenes");
        builder.Command(c.command);
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(kConfigurationNameSeparatorMessage, boxes[0]);
        EXPECT_EQ(1u, device().ConfigurationCount());
        EXPECT_EQ("Scenes", device().Configuration(0)->Name());
        EXPECT_EQ(std::vector<std::string>{"Scenes"}, view.Items(ids::kConfigurations));
        EXPECT_EQ("Banks;Scenes", view.Text(ids::kConfigurationName)) << "kept to be mended";
    }
    // Beyond the 255 bytes a name keeps, a ';' is cut off, not refused.
    std::string longName;
    for (int i = 0; i < 128; ++i) longName += "\xC3\xA9";
    boxes.clear();
    Type(ids::kConfigurationName, longName + ";");
    builder.Command(ids::kConfigurationAdd);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(2u, device().ConfigurationCount());
}

}  // namespace
