// Whether the window holds anything that its file, or the new definition it
// started from, does not: edits still in the boxes, a template editor or a
// Configuration Templates selection not yet stored, and every list command.
// It compares what a save would keep with what was last saved, opened or
// started, so an edit undone by hand is no change, and a save that fails
// leaves the record as it was. A template's extensions count with its other
// fields (as the "Advanced" dialog left them for the current one), and so
// does the format version that storing the template editor would give.
//
// The device's records are compared only when they may have changed (after
// a command or a selection change); a keystroke compares the boxes alone, so
// typing stays quick however many templates the definition holds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "builder/builder_editor.h"
#include "builder/builder_view.h"
#include "device/druv_device.h"

class ChangeRecord {
public:
    ChangeRecord(const DRUVDevice& device, const BuilderEditor& editor, const BuilderView& view);
    ChangeRecord(const ChangeRecord&) = delete;
    ChangeRecord& operator=(const ChangeRecord&) = delete;

    // What the window shows now is what its file holds (after Open, a
    // successful save, a new definition).
    void MarkSaved();

    // After the device's records, or which of them are current, may have
    // changed; takes the boxes and the selection as well.
    void TakeRecords();
    // After a box's text, a check or a drop-down changed.
    void TakeBoxes();
    // After a click in Configuration Templates.
    void TakeConfigurationSelection();

    bool HasUnsavedChanges() const;

private:
    // Each record as a text; a configuration holds the indices of the
    // templates it selects, as Configuration Templates shows them.
    struct Snapshot {
        std::vector<std::string> configurations;
        std::vector<std::string> templates;
    };
    Snapshot Records() const;
    void Compare(const Snapshot& records);
    bool IsCurrent(int index, size_t count) const { return index >= 0 && static_cast<size_t>(index) < count; }

    const DRUVDevice& device_;
    const BuilderEditor& editor_;
    const BuilderView& view_;

    Snapshot saved_;
    std::string savedDevice_;
    // The records but the current ones differ from the saved ones (or their
    // number does).
    bool recordsDiffer_ = false;
    int currentConfiguration_ = -1;
    int currentTemplate_ = -1;
    std::string pendingDevice_;
    std::string pendingTemplate_;
    std::string pendingConfiguration_;
    int32_t savedFormat_ = 0;
    int32_t pendingFormat_ = 0;
};
