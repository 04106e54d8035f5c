// The builder's file commands Open, Save and Save As over the window's
// device. A definition gets fresh identifiers exactly when it is saved under
// a path other than its own (letter case aside), and one read without
// identifiers gets them at its first save.
#pragma once

#include "builder/builder_editor.h"
#include "builder/builder_view.h"
#include "device/druv_device.h"
#include "platform/file_dialog.h"

class BuilderDocument {
public:
    BuilderDocument(DRUVDevice& device, BuilderEditor& editor, BuilderView& view);
    BuilderDocument(const BuilderDocument&) = delete;
    BuilderDocument& operator=(const BuilderDocument&) = delete;

    // Owner window of the dialogs and boxes (an HWND on Windows), or null.
    void SetOwner(void* owner) { owner_ = owner; }

    // Each gives true when a file was read or written; Cancel, a refused
    // path and a failure give false.
    bool Open();
    bool Save();
    bool SaveAs();

private:
    FileDialogRequest DialogRequest(FileDialogKind kind) const;
    // The chosen path, or empty for Cancel and for a path refused as too long.
    std::string ChoosePath(FileDialogKind kind);
    bool Write();

    DRUVDevice& device_;
    BuilderEditor& editor_;
    BuilderView& view_;
    void* owner_ = nullptr;
};
