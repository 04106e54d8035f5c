#include <string>

#include "tests/builder/builder_test_support.h"

namespace {

struct ListUnderTest {
    const char* name;
    ControlId list, nameBox, add, remove, rename, up, down;
};

const ListUnderTest kLists[] = {
    {"Configurations", ids::kConfigurations, ids::kConfigurationName, ids::kConfigurationAdd,
     ids::kConfigurationRemove, ids::kConfigurationRename, ids::kConfigurationUp, ids::kConfigurationDown},
    {"Templates", ids::kTemplates, ids::kTemplateName, ids::kTemplateAdd, ids::kTemplateRemove,
     ids::kTemplateRename, ids::kTemplateUp, ids::kTemplateDown},
};

TEST(ListButtons, EnabledByPositionAndNameForBothLists) {
    const struct {
        int items;
        int selected;
        const char* typed;
        bool add, remove, rename, up, down;
    } cases[] = {
        {0, -1, "", false, false, false, false, false},
        {0, -1, "New", true, false, false, false, false},
        {3, -1, "New", true, false, false, false, false},
        {3, 0, "New", true, true, true, false, true},
        {3, 1, "New", true, true, true, true, true},
        {3, 2, "New", true, true, true, true, false},
        {3, 1, "", false, true, false, true, true},
        {3, 1, "bETA", false, true, false, true, true},  // "Beta" is listed
    };
    for (const ListUnderTest& l : kLists) {
        for (const auto& c : cases) {
            FakeBuilderView view;
            TemplateBuilder b(view);
            b.Start();
            for (int i = 0; i < c.items; ++i) {
                view.Type(l.nameBox, i == 1 ? "Beta" : "Item " + std::to_string(i));
                b.Command(l.add);
            }
            if (c.selected >= 0) {
                view.SetCurrentSelection(l.list, c.selected);
                b.SelectionChanged(l.list);
            }
            view.Type(l.nameBox, c.typed);
            b.TextChanged(l.nameBox);
            SCOPED_TRACE(std::string(l.name) + ", " + std::to_string(c.items) + " items, selected " +
                         std::to_string(c.selected) + ", name \"" + c.typed + "\"");
            EXPECT_EQ(c.add, view.IsEnabled(l.add));
            EXPECT_EQ(c.remove, view.IsEnabled(l.remove));
            EXPECT_EQ(c.rename, view.IsEnabled(l.rename));
            EXPECT_EQ(c.up, view.IsEnabled(l.up));
            EXPECT_EQ(c.down, view.IsEnabled(l.down));
            EXPECT_TRUE(view.Misuses().empty());
        }
    }
}

}  // namespace
