#include "builder/builder_document.h"

#include <string>

#include "builder/builder_messages.h"
#include "builder/definition_identity.h"
#include "platform/message_box.h"

BuilderDocument::BuilderDocument(DRUVDevice& device, BuilderEditor& editor, BuilderView& view)
    : device_(device), editor_(editor), view_(view) {}

FileDialogRequest BuilderDocument::DialogRequest(FileDialogKind kind) const {
    FileDialogRequest request;
    request.kind = kind;
    request.filter = "DRUV Device (*.druv)|*.druv||";
    request.defaultExtension = "druv";
    request.flags = kFileDialogPathMustExist | kFileDialogHideReadOnly;
    if (kind == FileDialogKind::Save) {
        request.flags |= kFileDialogOverwritePrompt;
        request.initialName = device_.FilePath();
    }
    request.owner = owner_;
    return request;
}

std::string BuilderDocument::ChoosePath(FileDialogKind kind) {
    const FileDialogResult result = ShowFileDialog(DialogRequest(kind));
    if (result.outcome != FileDialogOutcome::Chosen || result.paths.empty()) return std::string();
    const std::string& path = result.paths.front();
    // A longer path would be cut, and the cut path names another file.
    if (!PathFitsDefinition(path)) {
        const std::string text = kPathTooLongMessage + path;
        ShowMessageBox(text.c_str(), kBuilderCaption, MessageIcon::Error, MessageButtons::Ok, owner_);
        return std::string();
    }
    return path;
}

bool BuilderDocument::Open() {
    const std::string path = ChoosePath(FileDialogKind::Open);
    if (path.empty()) return false;
    device_.SetFilePath(path.c_str());
    // A file without identifiers must not inherit the previous device's.
    ClearIdentifiers(device_);
    const bool read = device_.LoadDefinition() == 0;
    if (!read) {
        // Nothing of the unreadable file is shown, so nothing may be saved
        // over it: the next Save asks for a name.
        device_.SetFilePath("");
    }
    editor_.ShowDefinition();
    return read;
}

bool BuilderDocument::Write() {
    editor_.StoreDevice();
    editor_.StoreConfigurationTemplates();
    editor_.StoreTemplate();
    FillMissingIdentifiers(device_);
    return device_.SaveDefinition() == 1;
}

bool BuilderDocument::Save() {
    if (device_.FilePath().empty()) return SaveAs();
    return Write();
}

bool BuilderDocument::SaveAs() {
    const std::string path = ChoosePath(FileDialogKind::Save);
    if (path.empty()) return false;
    const DefinitionIdentity previous = IdentityOf(device_);
    const bool newName = !SameDefinitionPath(path, device_.FilePath());
    if (newName) {
        device_.SetFilePath(path.c_str());
        device_.CreateIdentifiers();
    }
    if (!Write()) {
        // The definition still belongs where it was; only a written file
        // may take the new name and identity.
        RestoreIdentity(device_, previous);
        view_.SetText(builder_controls::kCurrentDevice, device_.FilePath());
        return false;
    }
    view_.SetText(builder_controls::kCurrentDevice, device_.FilePath());
    return true;
}
