// The builder's core as its window sees it: one device, the editor over the
// window's controls and the file commands. The window owns one TemplateBuilder
// for its whole life, built over its BuilderView:
//
//   at creation (after its controls and drop-down entries exist): Start();
//   a button or toolbar command (BN_CLICKED, WM_COMMAND from the toolbar):
//     Command(id), which answers false for ids that are not the core's;
//   a selection change in Configurations or Templates (LBN_SELCHANGE):
//     SelectionChanged(list);
//   a change of text in either name box (EN_CHANGE): TextChanged(box).
//
// Clicks in Configuration Templates toggle the item in the control itself;
// the core reads that selection when it stores it. The core's own changes to
// the controls may come back as notifications (emptying a name box sends
// EN_CHANGE); forwarding them is harmless.
//
// The drop-down lists are filled by the window from drop_down_entries.h
// before Start.
#pragma once

#include "builder/builder_document.h"
#include "builder/builder_editor.h"
#include "builder/builder_view.h"
#include "device/druv_device.h"

class TemplateBuilder {
public:
    explicit TemplateBuilder(BuilderView& view);
    TemplateBuilder(const TemplateBuilder&) = delete;
    TemplateBuilder& operator=(const TemplateBuilder&) = delete;

    // Owner window of every dialog and box the core shows.
    void SetOwner(void* owner);
    void Start();

    bool Command(ControlId id);
    void SelectionChanged(ControlId list);
    void TextChanged(ControlId box);

    DRUVDevice& Device() { return device_; }
    BuilderEditor& Editor() { return editor_; }
    BuilderDocument& Document() { return document_; }

private:
    DRUVDevice device_;
    BuilderEditor editor_;
    BuilderDocument document_;
};
