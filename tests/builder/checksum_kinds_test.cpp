// The checksum kinds of the later definition format in the template editor:
// a file without FormatVersion reads types 4 to 6 as no checksum, so the
// builder shows no kind for them, and a kind of the later format chosen in
// such a file is saved with the version that puts it in force, while the
// file's other templates keep what their types meant.
#include <functional>
#include <string>

#include "builder/drop_down_entries.h"
#include "tests/builder/builder_test_support.h"

namespace {

class ChecksumKindsTest : public BuilderTest {
protected:
    // Templates A and B with the given checksum types, in a file of the first
    // format (no FormatVersion) or of the later one.
    std::string FileWith(int a, int b, bool laterFormat) {
        const auto record = [](const char* name, int type) {
            return std::string("<Template>") + name + "<Size>10</Size><CSumType>" + std::to_string(type) +
                   "</CSumType><CSumStart>1</CSumStart><CSumLength>7</CSumLength><CSumOfs>8</CSumOfs></Template>";
        };
        return folder.Write("kinds.druv", std::string("<?xml version=\"1.0\"?><DRUVDevice>") +
                                              (laterFormat ? "<FormatVersion>2</FormatVersion>" : "") +
                                              "<Company>Maker</Company>" + record("A", a) + record("B", b) +
                                              "</DRUVDevice>");
    }
};

TEST_F(ChecksumKindsTest, TheTypeListNamesEveryKindAndShowsNoneThatTheFileDoesNotKnow) {
    EXPECT_EQ(7u, std::size(kChecksumTypeEntries));
    const struct {
        int type;
        bool laterFormat;
        int shown;
    } cases[] = {
        {3, false, 3}, {4, false, -1}, {6, false, -1}, {4, true, 4}, {6, true, 6}, {7, true, -1}, {200, false, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + (c.laterFormat ? " in FormatVersion 2" : " in the first format"));
        answer = MessageAnswer::No;
        ASSERT_TRUE(Open(FileWith(c.type, 0, c.laterFormat)));
        Select(ids::kTemplates, 0);
        EXPECT_EQ(c.shown, view.DropDownSelection(ids::kCSumType));
        Select(ids::kTemplates, 1);
        EXPECT_EQ(c.type, device().Template(0)->CSumType()) << "stored back as it came";
        EXPECT_FALSE(builder.HasUnsavedChanges());
    }
}

TEST_F(ChecksumKindsTest, AKindOfTheLaterFormatChosenInAFirstFormatFileIsSavedInForce) {
    namespace boxes = advanced_controls;
    const struct {
        const char* what;
        int a, b;  // the types in the file
        std::function<void()> edit;
        int version, aRead, bRead;  // read back from the saved file
    } cases[] = {
        {"a later kind chosen", 2, 6, [&] { Choose(ids::kCSumType, 5); }, 2, 5, 0},
        {"the kind the file holds chosen", 5, 2, [&] { Choose(ids::kCSumType, 5); }, 2, 5, 2},
        {"an extension given in the dialog", 2, 6,
         [&] {
             advanced.Answer([](FakeBuilderView& d) {
                 d.Type(boxes::kAddressBytes, "2");
                 return FakeAdvancedDialog::Press::Ok;
             });
             builder.Command(ids::kAdvanced);
         },
         2, 2, 0},
        {"a kind of the first format chosen", 2, 6, [&] { Choose(ids::kCSumType, 3); }, 1, 3, 6},
        {"nothing chosen", 5, 6, [] {}, 1, 5, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        answer = MessageAnswer::No;
        const std::string path = FileWith(c.a, c.b, false);
        ASSERT_TRUE(Open(path));
        Select(ids::kTemplates, 0);
        c.edit();
        EXPECT_EQ(c.version != 1 || c.aRead != c.a, builder.HasUnsavedChanges());
        builder.Command(builder_commands::kSave);
        EXPECT_FALSE(builder.HasUnsavedChanges());
        DRUVDevice saved;
        ReadDefinition(path, saved);
        EXPECT_EQ(c.version, saved.FormatVersion());
        EXPECT_EQ(c.aRead, saved.Template(0)->CSumType());
        EXPECT_EQ(c.bRead, saved.Template(1)->CSumType());
        EXPECT_EQ(ChecksumTypeInForce(static_cast<uint8_t>(c.b), kFirstDefinitionFormatVersion),
                  ChecksumTypeInForce(saved.Template(1)->CSumType(), saved.FormatVersion()))
            << "B means what it meant in the file";
    }
}

}  // namespace
