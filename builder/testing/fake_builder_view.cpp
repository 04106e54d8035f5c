#include "builder/testing/fake_builder_view.h"

#include <iterator>

#include "platform/utf16_text.h"

const FakeBuilderView::Control* FakeBuilderView::Find(ControlId control) const {
    const auto found = controls_.find(control);
    return found == controls_.end() ? nullptr : &found->second;
}

bool FakeBuilderView::CheckIndex(ControlId list, int index, int end, const char* call) const {
    if (index >= 0 && index < end) return true;
    misuses_.push_back(std::string(call) + "(" + std::to_string(list) + ", " + std::to_string(index) + ")");
    return false;
}

void FakeBuilderView::SetTitle(const std::string& title) { title_ = title; }

std::string FakeBuilderView::Text(ControlId control) const {
    const Control* c = Find(control);
    return c ? c->text : std::string();
}

void FakeBuilderView::SetText(ControlId control, const std::string& text) { controls_[control].text = text; }

void FakeBuilderView::SetTextLimit(ControlId control, size_t units) { controls_[control].limit = units; }

void FakeBuilderView::ShowPath(ControlId control, const std::string& path) {
    Control& c = controls_[control];
    c.text = path;
    c.toolTip = path;
}

bool FakeBuilderView::IsChecked(ControlId control) const {
    const Control* c = Find(control);
    return c && c->checked;
}

void FakeBuilderView::SetChecked(ControlId control, bool checked) { controls_[control].checked = checked; }

int FakeBuilderView::DropDownSelection(ControlId control) const {
    const Control* c = Find(control);
    return c ? c->dropDown : -1;
}

void FakeBuilderView::SetDropDownSelection(ControlId control, int index) { controls_[control].dropDown = index; }

void FakeBuilderView::Enable(ControlId control, bool enabled) { controls_[control].enabled = enabled; }

int FakeBuilderView::ItemCount(ControlId list) const {
    const Control* c = Find(list);
    return c ? static_cast<int>(c->items.size()) : 0;
}

std::string FakeBuilderView::ItemText(ControlId list, int index) const {
    if (!CheckIndex(list, index, ItemCount(list), "ItemText")) return std::string();
    return Find(list)->items[static_cast<size_t>(index)].text;
}

void FakeBuilderView::InsertItem(ControlId list, int index, const std::string& text) {
    Control& c = controls_[list];
    if (!CheckIndex(list, index, static_cast<int>(c.items.size()) + 1, "InsertItem")) return;
    c.items.insert(c.items.begin() + index, Item{text, false});
    if (c.current >= index) ++c.current;
}

void FakeBuilderView::DeleteItem(ControlId list, int index) {
    Control& c = controls_[list];
    if (!CheckIndex(list, index, static_cast<int>(c.items.size()), "DeleteItem")) return;
    c.items.erase(c.items.begin() + index);
    if (c.current == index)
        c.current = -1;
    else if (c.current > index)
        --c.current;
}

void FakeBuilderView::RenameItem(ControlId list, int index, const std::string& text) {
    Control& c = controls_[list];
    if (!CheckIndex(list, index, static_cast<int>(c.items.size()), "RenameItem")) return;
    c.items[static_cast<size_t>(index)] = Item{text, false};
    if (c.current == index) c.current = -1;
}

void FakeBuilderView::ClearItems(ControlId list) {
    Control& c = controls_[list];
    c.items.clear();
    c.current = -1;
}

int FakeBuilderView::CurrentSelection(ControlId list) const {
    const Control* c = Find(list);
    return c ? c->current : -1;
}

void FakeBuilderView::SetCurrentSelection(ControlId list, int index) {
    Control& c = controls_[list];
    if (index != -1 && !CheckIndex(list, index, static_cast<int>(c.items.size()), "SetCurrentSelection")) return;
    c.current = index;
}

bool FakeBuilderView::IsItemSelected(ControlId list, int index) const {
    if (!CheckIndex(list, index, ItemCount(list), "IsItemSelected")) return false;
    return Find(list)->items[static_cast<size_t>(index)].selected;
}

void FakeBuilderView::SetItemSelected(ControlId list, int index, bool selected) {
    Control& c = controls_[list];
    if (!CheckIndex(list, index, static_cast<int>(c.items.size()), "SetItemSelected")) return;
    c.items[static_cast<size_t>(index)].selected = selected;
}

void FakeBuilderView::Type(ControlId control, const std::string& text) {
    Control& c = controls_[control];
    c.text = c.limit == 0 ? text : text.substr(0, Utf8CutLengthInUnits(text.data(), text.size(), c.limit));
}

void FakeBuilderView::Click(ControlId list, int index) {
    Control& c = controls_[list];
    if (!CheckIndex(list, index, static_cast<int>(c.items.size()), "Click")) return;
    c.items[static_cast<size_t>(index)].selected = !c.items[static_cast<size_t>(index)].selected;
}

size_t FakeBuilderView::TextLimit(ControlId control) const {
    const Control* c = Find(control);
    return c ? c->limit : 0;
}

std::string FakeBuilderView::ToolTip(ControlId control) const {
    const Control* c = Find(control);
    return c ? c->toolTip : std::string();
}

bool FakeBuilderView::IsEnabled(ControlId control) const {
    const Control* c = Find(control);
    return c == nullptr || c->enabled;
}

std::vector<std::string> FakeBuilderView::Items(ControlId list) const {
    std::vector<std::string> texts;
    if (const Control* c = Find(list))
        for (const Item& item : c->items) texts.push_back(item.text);
    return texts;
}

std::vector<std::string> FakeBuilderView::SelectedItems(ControlId list) const {
    std::vector<std::string> texts;
    if (const Control* c = Find(list))
        for (const Item& item : c->items)
            if (item.selected) texts.push_back(item.text);
    return texts;
}
