// The builder's file commands New, Open, Save and Save As over the window's
// device. A definition gets fresh identifiers exactly when it is saved under
// a path other than its own (letter case aside), and one read without
// identifiers gets them at its first save. Nothing unsaved is given up
// without a question: New, Open and closing the window first ask whether to
// save the changes.
#pragma once

#include "builder/builder_editor.h"
#include "builder/builder_view.h"
#include "builder/change_record.h"
#include "device/druv_device.h"
#include "platform/file_dialog.h"

class BuilderDocument {
public:
    BuilderDocument(DRUVDevice& device, BuilderEditor& editor, BuilderView& view, ChangeRecord& changes);
    BuilderDocument(const BuilderDocument&) = delete;
    BuilderDocument& operator=(const BuilderDocument&) = delete;

    // Owner window of the dialogs and boxes (an HWND on Windows), or null.
    void SetOwner(void* owner) { owner_ = owner; }

    // Open gives true when a file was read, Save and Save As when one was
    // written; Cancel, a refused path or name and a failure give false.
    bool Open();
    bool Save();
    bool SaveAs();
    // A new, empty definition without a file; false when the question about
    // the unsaved changes was cancelled or their save failed.
    bool New();

    // Whether the definition may be given up now: true without unsaved
    // changes, after No, and after Yes once the save succeeded; false for
    // Cancel and for a save that failed or was cancelled.
    bool MayDiscard();

private:
    FileDialogRequest DialogRequest(FileDialogKind kind) const;
    // The chosen path, or empty for Cancel and for a path refused as too long.
    std::string ChoosePath(FileDialogKind kind);
    // The help file's and pictures' names in their boxes, as they would be
    // stored: false, after a message naming each refused one, when a file
    // beside the definition would not be used under its name.
    bool CompanionNamesAccepted();
    bool Write();

    DRUVDevice& device_;
    BuilderEditor& editor_;
    BuilderView& view_;
    ChangeRecord& changes_;
    void* owner_ = nullptr;
};
