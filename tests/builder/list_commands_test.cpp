#include <algorithm>
#include <string>
#include <vector>

#include "tests/builder/builder_test_support.h"

namespace {

using Names = std::vector<std::string>;

Names TemplateNames(const DRUVDevice& device) {
    Names names;
    for (size_t i = 0; i < device.TemplateCount(); ++i) names.push_back(device.Template(i)->Name());
    return names;
}

Names ConfigurationNames(const DRUVDevice& device) {
    Names names;
    for (size_t i = 0; i < device.ConfigurationCount(); ++i) names.push_back(device.Configuration(i)->Name());
    return names;
}

int ItemIndex(const FakeBuilderView& view, ControlId list, const std::string& text) {
    const Names items = view.Items(list);
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == text) return static_cast<int>(i);
    return -1;
}

class ListCommandsTest : public BuilderTest {};

TEST_F(ListCommandsTest, UpAndDownReorderTheFileAndRebuildTheConfigurationsSelection) {
    AddTemplates({"A", "B", "C"});
    AddConfigurations({"All", "None"});
    Select(ids::kConfigurations, 0);
    view.Click(ids::kConfigurationTemplates, 0);
    view.Click(ids::kConfigurationTemplates, 2);
    Select(ids::kTemplates, 2);
    builder.Command(ids::kTemplateUp);
    EXPECT_EQ((Names{"A", "C", "B"}), view.Items(ids::kTemplates));
    EXPECT_EQ((Names{"A", "C", "B"}), view.Items(ids::kConfigurationTemplates));
    EXPECT_EQ((Names{"A", "C"}), view.SelectedItems(ids::kConfigurationTemplates));
    EXPECT_EQ(1, view.CurrentSelection(ids::kTemplates));
    Select(ids::kConfigurations, 1);
    builder.Command(ids::kConfigurationUp);
    const std::string path = folder.File("moved.druv");
    ASSERT_TRUE(SaveAs(path));
    DRUVDevice saved;
    ReadDefinition(path, saved);
    EXPECT_EQ((Names{"A", "C", "B"}), TemplateNames(saved));
    EXPECT_EQ((Names{"None", "All"}), ConfigurationNames(saved));
    EXPECT_EQ((Names{"A", "C"}), saved.Configuration(1)->Refs());

    builder.Command(ids::kConfigurationDown);
    Select(ids::kTemplates, 0);
    builder.Command(ids::kTemplateDown);
    ASSERT_TRUE(builder.Document().Save());
    DRUVDevice again;
    ReadDefinition(path, again);
    EXPECT_EQ((Names{"C", "A", "B"}), TemplateNames(again));
    EXPECT_EQ((Names{"All", "None"}), ConfigurationNames(again));
}

TEST_F(ListCommandsTest, RemoveAnsweredNoKeepsTheRecordAndItsEditsAndYesClearsTheSelection) {
    AddTemplates({"A", "B"});
    Select(ids::kTemplates, 1);
    Type(ids::kSize, "77");
    answer = MessageAnswer::No;
    builder.Command(ids::kTemplateRemove);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Are you sure you want to remove the template?", boxes[0]);
    EXPECT_EQ(1, view.CurrentSelection(ids::kTemplates));
    Select(ids::kTemplates, 0);
    EXPECT_EQ(77, device().Template(1)->Size());

    answer = MessageAnswer::Yes;
    builder.Command(ids::kTemplateRemove);
    EXPECT_EQ((Names{"B"}), view.Items(ids::kTemplates));
    EXPECT_EQ(-1, view.CurrentSelection(ids::kTemplates));
    EXPECT_EQ(-1, builder.Editor().CurrentTemplate());

    // Without a current record the commands do nothing, and ask nothing.
    Type(ids::kTemplateName, "Z");
    for (ControlId command : {ids::kTemplateRemove, ids::kTemplateRename, ids::kTemplateUp, ids::kTemplateDown})
        builder.Command(command);
    EXPECT_EQ(2u, boxes.size());
    EXPECT_EQ((Names{"B"}), TemplateNames(device()));
    EXPECT_EQ(77, device().Template(0)->Size());
}

TEST_F(ListCommandsTest, RenamingAReferencedTemplateDropsItFromTheStoredConfigurationOnly) {
    AddTemplates({"Bulk", "Patch"});
    AddConfigurations({"X", "Y"});
    Select(ids::kConfigurations, 1);
    view.Click(ids::kConfigurationTemplates, 0);
    Select(ids::kConfigurations, 0);
    view.Click(ids::kConfigurationTemplates, 0);
    Select(ids::kTemplates, 0);
    Type(ids::kTemplateName, "Dump");
    builder.Command(ids::kTemplateRename);
    EXPECT_EQ((Names{"Dump", "Patch"}), view.Items(ids::kConfigurationTemplates));
    EXPECT_TRUE(view.SelectedItems(ids::kConfigurationTemplates).empty());
    const std::string path = folder.File("renamed.druv");
    ASSERT_TRUE(SaveAs(path));
    DRUVDevice saved;
    ReadDefinition(path, saved);
    EXPECT_EQ((Names{"Dump", "Patch"}), TemplateNames(saved));
    EXPECT_TRUE(saved.Configuration(0)->Refs().empty());
    EXPECT_EQ((Names{"Bulk"}), saved.Configuration(1)->Refs());
}

TEST_F(ListCommandsTest, TemplateCommandsKeepTheClicksNotYetStored) {
    AddTemplates({"A", "B", "C", "D"});
    AddConfigurations({"All"});
    Select(ids::kConfigurations, 0);
    Select(ids::kTemplates, 3);
    const struct {
        const char* click;
        const char* name;
        ControlId command;
    } steps[] = {
        {"A", "E", ids::kTemplateAdd},  {"B", "", ids::kTemplateUp},      {"C", "Z", ids::kTemplateRename},
        {"E", "", ids::kTemplateDown},  {"Z", "", ids::kTemplateRemove},
    };
    Names clicked;
    for (const auto& step : steps) {
        view.Click(ids::kConfigurationTemplates, ItemIndex(view, ids::kConfigurationTemplates, step.click));
        clicked.push_back(step.click);
        Type(ids::kTemplateName, step.name);
        builder.Command(step.command);
        const Names selected = view.SelectedItems(ids::kConfigurationTemplates);
        for (const std::string& name : clicked) {
            if (name == "Z") continue;  // removed by the last step
            EXPECT_EQ(1, std::count(selected.begin(), selected.end(), name)) << name << " after " << step.command;
        }
    }
    EXPECT_EQ((Names{"A", "B", "C", "Z", "E"}), device().Configuration(0)->Refs());
}

TEST_F(ListCommandsTest, ANameLongerThanTheFieldIsListedAsStoredAndCountsAsTaken) {
    std::string typed;
    for (int i = 0; i < 200; ++i) typed += "\xC3\xA9";  // é: 400 bytes, 200 characters
    AddTemplates({typed});
    ASSERT_EQ(1u, device().TemplateCount());
    EXPECT_EQ(254u, device().Template(0)->Name().size());
    EXPECT_EQ((Names{device().Template(0)->Name()}), view.Items(ids::kTemplates));
    Type(ids::kTemplateName, typed);
    EXPECT_FALSE(view.IsEnabled(ids::kTemplateAdd));
}

}  // namespace
