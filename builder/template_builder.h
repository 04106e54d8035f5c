// The builder's core as its window sees it: one device, the editor over the
// window's controls, the record of unsaved changes and the file commands. The
// window owns one TemplateBuilder for its whole life, built over its
// BuilderView:
//
//   at creation (after its controls and drop-down entries exist): Start();
//   a button, toolbar or key command (BN_CLICKED, WM_COMMAND from the
//     toolbar or an accelerator): Command(id), which answers false for ids
//     that are not the core's;
//   a selection change in Configurations or Templates (LBN_SELCHANGE):
//     SelectionChanged(list);
//   a change of text in any edit box (EN_CHANGE): TextChanged(box);
//   a click on a check box that is no command, an entry chosen in a
//     drop-down (CBN_SELCHANGE), a click in Configuration Templates
//     (LBN_SELCHANGE): Edited(control);
//   a request to close (WM_CLOSE): close only when MayClose() says so.
//
// The "Advanced..." button's command runs the window's AdvancedDialog
// (SetAdvancedDialog) modally; a close asked for meanwhile is refused.
//
// Clicks in Configuration Templates toggle the item in the control itself;
// the core reads that selection when it stores it. The core's own changes to
// the controls may come back as notifications (emptying a name box sends
// EN_CHANGE); forwarding them is harmless. After each notification the core
// sets the window's title: the definition's name, and "*" while it has
// unsaved changes.
//
// The drop-down lists are filled by the window from drop_down_entries.h
// before Start.
#pragma once

#include <string>

#include "builder/builder_document.h"
#include "builder/builder_editor.h"
#include "builder/builder_view.h"
#include "builder/change_record.h"
#include "device/druv_device.h"

class TemplateBuilder {
public:
    explicit TemplateBuilder(BuilderView& view);
    TemplateBuilder(const TemplateBuilder&) = delete;
    TemplateBuilder& operator=(const TemplateBuilder&) = delete;

    // Owner window of every dialog and box the core and its device show.
    void SetOwner(void* owner);
    // The window's "Advanced" dialog (button "Advanced..."), before Start.
    void SetAdvancedDialog(AdvancedDialog* dialog);
    void Start();

    bool Command(ControlId id);
    void SelectionChanged(ControlId list);
    void TextChanged(ControlId box);
    void Edited(ControlId control);
    // Asks about unsaved changes first: false keeps the window open, as it
    // does while one of the core's commands is still running.
    bool MayClose();

    bool HasUnsavedChanges() const { return changes_.HasUnsavedChanges(); }

    DRUVDevice& Device() { return device_; }
    BuilderEditor& Editor() { return editor_; }
    BuilderDocument& Document() { return document_; }

private:
    // What a notification may have changed, and so what the record takes.
    enum class Changed { Records, Boxes, ConfigurationSelection };
    template <typename Work>
    void Handle(Changed changed, Work work);
    void ShowTitle();

    DRUVDevice device_;
    BuilderView& view_;
    BuilderEditor editor_;
    ChangeRecord changes_;
    BuilderDocument document_;
    // Notifications that the core's own work sends back are handled inside
    // it; only the outermost takes the changes.
    int depth_ = 0;
    std::string title_;
};
