#include "builder/builder_document.h"

#include <string>

#include "builder/builder_messages.h"
#include "contract/program_files.h"
#include "builder/definition_format.h"
#include "builder/definition_identity.h"
#include "builder/document_title.h"
#include "device/companion_files.h"
#include "device/text_fields.h"
#include "platform/message_box.h"

namespace {

struct CompanionField {
    ControlId box;
    const char* label;
    CompanionFileProblem (*check)(const std::string& name);
};

const CompanionField kCompanionFields[] = {
    {builder_controls::kHelpFile, "PDF Help File", CheckHelpFileName},
    {builder_controls::kActivePngFile, "Active Device PNG file", CheckPictureFileName},
    {builder_controls::kInactivePngFile, "Inactive Device PNG file", CheckPictureFileName},
};

}  // namespace

BuilderDocument::BuilderDocument(DRUVDevice& device, BuilderEditor& editor, BuilderView& view, ChangeRecord& changes)
    : device_(device), editor_(editor), view_(view), changes_(changes) {}

FileDialogRequest BuilderDocument::DialogRequest(FileDialogKind kind) const {
    FileDialogRequest request;
    request.kind = kind;
    request.filter = kDefinitionFileFilter;
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

bool BuilderDocument::MayDiscard() {
    // Whatever reached the boxes since the last notification counts too.
    changes_.TakeRecords();
    if (!changes_.HasUnsavedChanges()) return true;
    const std::string question = kSaveChangesQuestion + DocumentName(device_.FilePath()) + "?";
    switch (ShowMessageBox(question.c_str(), kBuilderCaption, MessageIcon::Question, MessageButtons::YesNoCancel,
                           owner_)) {
        case MessageAnswer::Yes: return Save();
        case MessageAnswer::No: return true;
        case MessageAnswer::Cancel:
        case MessageAnswer::Ok: break;
    }
    return false;
}

bool BuilderDocument::New() {
    if (!MayDiscard()) return false;
    device_.Reset();
    device_.ClearConfigurations();
    device_.ClearTemplates();
    device_.SetFilePath("");
    ClearIdentifiers(device_);
    editor_.ShowDefinition();
    changes_.MarkSaved();
    return true;
}

bool BuilderDocument::Open() {
    if (!MayDiscard()) return false;
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
    // Also after a failed read: the empty definition shown holds nothing to lose.
    changes_.MarkSaved();
    return read;
}

bool BuilderDocument::CompanionNamesAccepted() {
    std::string refused;
    for (const CompanionField& field : kCompanionFields) {
        const std::string name = CapText(view_.Text(field.box).c_str());
        if (name.empty()) continue;  // no such file
        const CompanionFileProblem problem = field.check(name);
        if (problem == CompanionFileProblem::None) continue;
        refused += std::string("\n\"") + field.label + "\" names \"" + name + "\": " +
                   DescribeCompanionFileProblem(problem) + ".";
    }
    if (refused.empty()) return true;
    ShowMessageBox((kCompanionNamesRefusedMessage + refused).c_str(), kBuilderCaption, MessageIcon::Error,
                   MessageButtons::Ok, owner_);
    return false;
}

bool BuilderDocument::Write() {
    editor_.StoreDevice();
    editor_.StoreConfigurationTemplates();
    editor_.StoreTemplate();
    // A template's extensions give the file FormatVersion 2; types that a
    // first-format file read as none must keep that meaning there.
    if (device_.NeedsLaterFormat()) MoveToLaterFormat(device_);
    FillMissingIdentifiers(device_);
    if (device_.SaveDefinition() != 1) return false;
    changes_.MarkSaved();
    return true;
}

bool BuilderDocument::Save() {
    if (device_.FilePath().empty()) return SaveAs();
    return CompanionNamesAccepted() && Write();
}

// The names are judged before the dialog, so nobody chooses a file for a
// save that cannot happen.
bool BuilderDocument::SaveAs() {
    if (!CompanionNamesAccepted()) return false;
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
        view_.ShowPath(builder_controls::kCurrentDevice, device_.FilePath());
        return false;
    }
    view_.ShowPath(builder_controls::kCurrentDevice, device_.FilePath());
    return true;
}
