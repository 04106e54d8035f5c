// What the builder's core needs from its window, control by control. The
// Win32 window implements it over its controls; tests and the benchmark use
// an in-memory fake. Texts are UTF-8; indices count from 0 and -1 means none.
#pragma once

#include <cstddef>
#include <string>

#include "builder/builder_controls.h"

class BuilderView {
public:
    virtual ~BuilderView() = default;

    // The window's title bar.
    virtual void SetTitle(const std::string& title) = 0;

    // Text boxes (one-line, byte and read-only boxes).
    virtual std::string Text(ControlId control) const = 0;
    virtual void SetText(ControlId control, const std::string& text) = 0;
    // The most a person can type into the box, in UTF-16 units.
    virtual void SetTextLimit(ControlId control, size_t units) = 0;
    // A read-only box that shows a file's path: the whole path where the box
    // is wide enough, otherwise its end after "..." (PathTail); the whole
    // path in the box's tool tip.
    virtual void ShowPath(ControlId control, const std::string& path) = 0;

    // Check boxes.
    virtual bool IsChecked(ControlId control) const = 0;
    virtual void SetChecked(ControlId control, bool checked) = 0;

    // Drop-down lists: the selected entry, -1 for none.
    virtual int DropDownSelection(ControlId control) const = 0;
    virtual void SetDropDownSelection(ControlId control, int index) = 0;

    // Buttons and every other control.
    virtual void Enable(ControlId control, bool enabled) = 0;

    // List boxes. InsertItem at ItemCount appends.
    virtual int ItemCount(ControlId list) const = 0;
    virtual std::string ItemText(ControlId list, int index) const = 0;
    virtual void InsertItem(ControlId list, int index, const std::string& text) = 0;
    virtual void DeleteItem(ControlId list, int index) = 0;
    virtual void RenameItem(ControlId list, int index, const std::string& text) = 0;
    virtual void ClearItems(ControlId list) = 0;

    // Lists with one selection (Configurations, Templates): the selected
    // item, -1 for none; setting -1 clears the selection.
    virtual int CurrentSelection(ControlId list) const = 0;
    virtual void SetCurrentSelection(ControlId list, int index) = 0;

    // The list in which a click toggles an item (Configuration Templates).
    virtual bool IsItemSelected(ControlId list, int index) const = 0;
    virtual void SetItemSelected(ControlId list, int index, bool selected) = 0;
};
