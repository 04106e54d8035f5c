// An in-memory BuilderView for tests and benchmarks. It behaves like the
// window's controls where the core could come to rely on it: a text limit
// holds back only what a person types, deleting or inserting items moves
// the single selection as a list box does, and a renamed item loses its
// selection. Calls with an index outside a list are recorded in Misuses()
// instead of being carried out.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "builder/builder_view.h"

class FakeBuilderView : public BuilderView {
public:
    void SetTitle(const std::string& title) override;
    std::string Text(ControlId control) const override;
    void SetText(ControlId control, const std::string& text) override;
    void SetTextLimit(ControlId control, size_t units) override;
    // The whole path, as if the box were wide enough; the tool tip holds it too.
    void ShowPath(ControlId control, const std::string& path) override;
    bool IsChecked(ControlId control) const override;
    void SetChecked(ControlId control, bool checked) override;
    int DropDownSelection(ControlId control) const override;
    void SetDropDownSelection(ControlId control, int index) override;
    void Enable(ControlId control, bool enabled) override;
    int ItemCount(ControlId list) const override;
    std::string ItemText(ControlId list, int index) const override;
    void InsertItem(ControlId list, int index, const std::string& text) override;
    void DeleteItem(ControlId list, int index) override;
    void RenameItem(ControlId list, int index, const std::string& text) override;
    void ClearItems(ControlId list) override;
    int CurrentSelection(ControlId list) const override;
    void SetCurrentSelection(ControlId list, int index) override;
    bool IsItemSelected(ControlId list, int index) const override;
    void SetItemSelected(ControlId list, int index, bool selected) override;

    // What a person does: typing (held to the box's limit in UTF-16 units)
    // and a click that toggles an item of a multiple-selection list.
    void Type(ControlId control, const std::string& text);
    void Click(ControlId list, int index);

    const std::string& Title() const { return title_; }
    size_t TextLimit(ControlId control) const;  // 0: none set
    std::string ToolTip(ControlId control) const;
    bool IsEnabled(ControlId control) const;    // controls start enabled
    std::vector<std::string> Items(ControlId list) const;
    std::vector<std::string> SelectedItems(ControlId list) const;
    const std::vector<std::string>& Misuses() const { return misuses_; }

private:
    struct Item {
        std::string text;
        bool selected = false;
    };
    struct Control {
        std::string text;
        std::string toolTip;
        size_t limit = 0;
        bool checked = false;
        int dropDown = -1;
        bool enabled = true;
        std::vector<Item> items;
        int current = -1;
    };

    const Control* Find(ControlId control) const;
    bool CheckIndex(ControlId list, int index, int end, const char* call) const;

    std::string title_;
    std::map<ControlId, Control> controls_;
    mutable std::vector<std::string> misuses_;
};
