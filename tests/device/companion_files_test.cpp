#include <gtest/gtest.h>

#include <string>

#include "device/companion_files.h"
#include "device/druv_configuration.h"
#include "device/druv_device.h"
#include "test_support.h"

namespace {

using Problem = CompanionFileProblem;

struct NameCase {
    const char* name;
    Problem help;
    Problem picture;
};

// What a shared definition may name beside itself, and what it may not.
const NameCase kNames[] = {
    {"manual.pdf", Problem::None, Problem::NotAPicture},
    {"Help.TXT", Problem::None, Problem::NotAPicture},
    {"docs\\guide.htm", Problem::None, Problem::NotAPicture},
    {"docs/guide.html", Problem::None, Problem::NotAPicture},
    {"notes.rtf", Problem::None, Problem::NotAPicture},
    {"online.png", Problem::NotADocument, Problem::None},
    {"pictures\\off.JPEG", Problem::NotADocument, Problem::None},
    {"a..b.pdf", Problem::None, Problem::NotAPicture},
    {"setup.exe", Problem::NotADocument, Problem::NotAPicture},
    {"run.bat", Problem::NotADocument, Problem::NotAPicture},
    {"x.lnk", Problem::NotADocument, Problem::NotAPicture},
    {"manual", Problem::NotADocument, Problem::NotAPicture},
    {"manual.pdf.", Problem::NotADocument, Problem::NotAPicture},
    {"manual.pdf ", Problem::NotADocument, Problem::NotAPicture},
    {"pdf.d\\setup", Problem::NotADocument, Problem::NotAPicture},
    {"..\\..\\x.lnk", Problem::ParentFolder, Problem::ParentFolder},
    {"../help.pdf", Problem::ParentFolder, Problem::ParentFolder},
    {"docs\\..\\..\\help.pdf", Problem::ParentFolder, Problem::ParentFolder},
    {".. \\help.pdf", Problem::ParentFolder, Problem::ParentFolder},
    {"C:\\Windows\\help.pdf", Problem::OutsideFolder, Problem::OutsideFolder},
    {"C:help.pdf", Problem::OutsideFolder, Problem::OutsideFolder},
    {"\\\\server\\share\\help.pdf", Problem::OutsideFolder, Problem::OutsideFolder},
    {"\\help.pdf", Problem::OutsideFolder, Problem::OutsideFolder},
    {"/etc/help.pdf", Problem::OutsideFolder, Problem::OutsideFolder},
    {"help.pdf:evil.exe", Problem::InvalidCharacter, Problem::InvalidCharacter},
    {"help?.pdf", Problem::InvalidCharacter, Problem::InvalidCharacter},
    {"help\n.pdf", Problem::InvalidCharacter, Problem::InvalidCharacter},
    {"CON.txt", Problem::ReservedName, Problem::ReservedName},
    {"docs\\nul.pdf", Problem::ReservedName, Problem::ReservedName},
    {"", Problem::Empty, Problem::Empty},
};

TEST(CompanionFiles, OnlyDocumentsAndPicturesInsideTheFolderAreUsed) {
    for (const NameCase& c : kNames) {
        EXPECT_EQ(c.help, CheckHelpFileName(c.name)) << "help file \"" << c.name << "\"";
        EXPECT_EQ(c.picture, CheckPictureFileName(c.name)) << "picture \"" << c.name << "\"";
    }
}

TEST(CompanionFiles, EveryRefusalHasAReasonAndTheKindsAreNamed) {
    EXPECT_EQ("", DescribeCompanionFileProblem(Problem::None));
    for (Problem problem : {Problem::Empty, Problem::OutsideFolder, Problem::ParentFolder, Problem::InvalidCharacter,
                            Problem::ReservedName, Problem::NotADocument, Problem::NotAPicture})
        EXPECT_FALSE(DescribeCompanionFileProblem(problem).empty()) << static_cast<int>(problem);
    EXPECT_NE(std::string::npos, DescribeCompanionFileProblem(Problem::NotADocument).find(".pdf, .txt"));
    EXPECT_NE(std::string::npos, DescribeCompanionFileProblem(Problem::NotAPicture).find(".png"));
}

TEST(CompanionFiles, PathsLieInTheDefinitionsFolderOrAreNotGiven) {
    DRUVDevice device;
    device.SetFilePath("C:\\Devices\\synth.druv");
    device.SetHelpFile("synth.pdf");
    EXPECT_EQ("C:\\Devices\\synth.pdf", HelpFilePath(device));
    EXPECT_EQ("C:\\Devices\\on.png", PictureFilePath(device, "on.png"));
    device.SetHelpFile("setup.exe");
    EXPECT_EQ("", HelpFilePath(device));
    EXPECT_EQ("", PictureFilePath(device, "..\\on.png"));

    device.SetFilePath("/home/musician/synth.druv");
    device.SetHelpFile("docs/synth.txt");
    EXPECT_EQ("/home/musician/docs/synth.txt", HelpFilePath(device));
    device.SetFilePath("synth.druv");
    EXPECT_EQ("docs/synth.txt", HelpFilePath(device)) << "a bare name lies in the current folder";
    device.SetFilePath("");
    EXPECT_EQ("", HelpFilePath(device)) << "no definition file, no folder";
}

TEST(HostListNames, ASemicolonCannotSplitAConfigurationInTheHostsList) {
    EXPECT_EQ("Bank A, B", HostListName("Bank A; B"));
    EXPECT_EQ(",,", HostListName(";;"));
    EXPECT_EQ("Everything", HostListName("Everything"));
}

// The boxes of the definition code belong to the window that asked, so that
// the window cannot close under them.
TEST(DefinitionMessages, BoxesAreOwnedByTheDevicesWindow) {
    int window = 0;
    ScratchFolder folder;
    DRUVDevice device;
    device.SetMessageOwner(&window);
    MessageRecorder recorder;

    device.SetFilePath(folder.File("missing.druv").c_str());
    EXPECT_EQ(-1, device.LoadDefinition());
    device.SetFilePath(folder.Write("garbage.druv", "<DRUVDevice>").c_str());
    EXPECT_EQ(-1, device.LoadDefinition());
    device.AddTemplate("Empty");  // size 0: a warning while saving
    device.SetFilePath(folder.File("no-such-folder/x.druv").c_str());
    EXPECT_EQ(0, device.SaveDefinition());

    ASSERT_EQ(4u, recorder.boxes.size());
    for (const RecordedBox& box : recorder.boxes) EXPECT_EQ(&window, box.owner) << box.text;
    EXPECT_EQ(&window, device.MessageOwner()) << "reading a definition keeps its window";
}

}  // namespace
