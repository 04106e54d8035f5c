#include <filesystem>
#include <string>

#include "builder/builder_messages.h"
#include "tests/builder/builder_test_support.h"

namespace {

class DocumentTest : public BuilderTest {
protected:
    // Saves a definition whose company is `company` under `name`.
    std::string SavedDefinition(const std::string& name, const std::string& company) {
        Type(ids::kCompany, company);
        const std::string path = folder.File(name);
        EXPECT_TRUE(SaveAs(path));
        return path;
    }
    bool HasBox(const std::string& start) const {
        for (const std::string& box : boxes)
            if (box.compare(0, start.size(), start) == 0) return true;
        return false;
    }
};

TEST_F(DocumentTest, FirstSaveAsksForANameAndGivesFreshIdentifiers) {
    const std::string path = folder.File("first.druv");
    choices.push_back(path);
    ASSERT_TRUE(builder.Command(builder_commands::kSave));
    ASSERT_EQ(1u, requests.size());
    const FileDialogRequest& request = requests[0];
    EXPECT_EQ(FileDialogKind::Save, request.kind);
    EXPECT_EQ("DRUV Device (*.druv)|*.druv||", request.filter);
    EXPECT_EQ("druv", request.defaultExtension);
    EXPECT_EQ("", request.initialName);
    EXPECT_EQ(kFileDialogPathMustExist | kFileDialogHideReadOnly | kFileDialogOverwritePrompt, request.flags);
    EXPECT_EQ(path, view.Text(ids::kCurrentDevice));
    DRUVDevice saved;
    ReadDefinition(path, saved);
    EXPECT_FALSE(IsNullGuid(saved.DeviceGUID()) || IsNullGuid(saved.EditorGUID()));
    EXPECT_FALSE(SameGuid(saved.DeviceGUID(), saved.EditorGUID()));

    Open(path);
    EXPECT_EQ(FileDialogKind::Open, requests.back().kind);
    EXPECT_EQ(kFileDialogPathMustExist | kFileDialogHideReadOnly, requests.back().flags);
}

TEST_F(DocumentTest, IdentifiersChangeExactlyWhenThePathDoes) {
    const std::string path = SavedDefinition("Dev.druv", "One");
    const GUID first = device().DeviceGUID();
    const GUID firstEditor = device().EditorGUID();

    Type(ids::kCompany, "Two");
    ASSERT_TRUE(SaveAs(folder.File("DEV.DRUV")));
    EXPECT_TRUE(SameGuid(first, device().DeviceGUID()) && SameGuid(firstEditor, device().EditorGUID()));
    EXPECT_EQ(path, device().FilePath());
    DRUVDevice same;
    ReadDefinition(path, same);
    EXPECT_EQ("Two", same.Company());

    // Cancel in either dialog changes nothing.
    EXPECT_FALSE(builder.Document().SaveAs());
    EXPECT_FALSE(builder.Document().Open());
    EXPECT_EQ(path, device().FilePath());
    EXPECT_EQ(path, view.Text(ids::kCurrentDevice));
    EXPECT_TRUE(SameGuid(first, device().DeviceGUID()));
    EXPECT_EQ("Two", device().Company());

    const std::string copy = SavedDefinition("Copy.druv", "Three");
    const GUID second = device().DeviceGUID();
    EXPECT_FALSE(SameGuid(first, second) || SameGuid(firstEditor, device().EditorGUID()));
    ASSERT_TRUE(builder.Document().Save());
    DRUVDevice copied;
    ReadDefinition(copy, copied);
    EXPECT_TRUE(SameGuid(second, copied.DeviceGUID()));
    EXPECT_EQ(copy, view.Text(ids::kCurrentDevice));
}

TEST_F(DocumentTest, AFailedOpenLeavesNothingToOverwrite) {
    SavedDefinition("good.druv", "Good");
    const std::string broken = folder.Write("broken.druv", "<DRUVDevice><Company>x");
    EXPECT_FALSE(Open(broken));
    EXPECT_TRUE(HasBox("Error: unable to parse file"));
    EXPECT_EQ("", device().FilePath());
    EXPECT_EQ("", view.Text(ids::kCurrentDevice));
    EXPECT_TRUE(IsNullGuid(device().DeviceGUID()) && IsNullGuid(device().EditorGUID()));

    const size_t asked = requests.size();
    EXPECT_FALSE(builder.Document().Save());
    ASSERT_EQ(asked + 1, requests.size());
    EXPECT_EQ(FileDialogKind::Save, requests.back().kind);
    EXPECT_EQ("<DRUVDevice><Company>x", ReadWholeFile(broken));
}

TEST_F(DocumentTest, AFileWithoutIdentifiersIsSavedWithFreshOnes) {
    SavedDefinition("other.druv", "Other");
    const GUID other = device().DeviceGUID();
    const GUID otherEditor = device().EditorGUID();
    const std::string bare = folder.Write("bare.druv", "<DRUVDevice><Company>Bare</Company></DRUVDevice>");
    ASSERT_TRUE(Open(bare));
    ASSERT_TRUE(builder.Document().Save());
    DRUVDevice saved;
    ReadDefinition(bare, saved);
    EXPECT_EQ("Bare", saved.Company());
    EXPECT_FALSE(IsNullGuid(saved.DeviceGUID()) || IsNullGuid(saved.EditorGUID()));
    EXPECT_FALSE(SameGuid(other, saved.DeviceGUID()) || SameGuid(otherEditor, saved.EditorGUID()));
}

TEST_F(DocumentTest, PathsOver255CharactersAreRefused) {
    // Two bytes per character, so a byte count would refuse the path that fits.
    const std::string e = "\xC3\xA9";
    std::string folderName;
    for (int i = 0; i < 100; ++i) folderName += e;
    // Joined as UTF-8 text and made through u8path: a path built from a
    // plain string takes it in the system's code page on Windows.
    const std::string start = folder.File("") + folderName + "/";
    ASSERT_TRUE(std::filesystem::create_directory(std::filesystem::u8path(start)));
    const size_t startUnits = start.size() - 100;
    std::string fits = start;
    for (size_t units = startUnits; units < 255 - 5; ++units) fits += e;
    const std::string tooLong = fits + e + ".druv";
    fits += ".druv";

    ASSERT_TRUE(SaveAs(fits));
    EXPECT_EQ(fits, device().FilePath());
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(fits)));
    const GUID identity = device().DeviceGUID();

    EXPECT_FALSE(SaveAs(tooLong));
    EXPECT_FALSE(Open(tooLong));
    EXPECT_EQ(2u, boxes.size());
    EXPECT_TRUE(HasBox(kPathTooLongMessage));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(tooLong)));
    EXPECT_EQ(fits, device().FilePath());
    EXPECT_TRUE(SameGuid(identity, device().DeviceGUID()));
}

TEST_F(DocumentTest, ASaveAsThatCannotWriteKeepsThePreviousPathAndIdentity) {
    const std::string path = SavedDefinition("kept.druv", "Kept");
    const GUID identity = device().DeviceGUID();
    const GUID editor = device().EditorGUID();
    EXPECT_FALSE(SaveAs(folder.File("missing/elsewhere.druv")));
    EXPECT_TRUE(HasBox("Error: unable to write file"));
    EXPECT_EQ(path, device().FilePath());
    EXPECT_EQ(path, view.Text(ids::kCurrentDevice));
    EXPECT_TRUE(SameGuid(identity, device().DeviceGUID()) && SameGuid(editor, device().EditorGUID()));
}

}  // namespace
