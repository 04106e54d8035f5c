#include "manager/window/add_device_dialog.h"

#include <utility>

#include "contract/program_files.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"

std::vector<std::string> ChooseDeviceFiles(HWND owner, const std::string& managerFolder) {
    FileDialogRequest request;
    request.kind = FileDialogKind::Open;
    request.filter = kDefinitionFileFilter;
    request.defaultExtension = "druv";
    request.initialFolder = managerFolder + "\\" + kDevicesFolderName;
    request.multipleSelection = true;
    // The folder of a typed name must exist, the file itself need not: the
    // installer reports a file it cannot read.
    request.flags = kFileDialogPathMustExist | kFileDialogHideReadOnly;
    request.bufferCharacters = kAddDialogBufferCharacters;
    request.owner = owner;

    FileDialogResult result = ShowFileDialog(request);
    switch (result.outcome) {
    case FileDialogOutcome::Chosen:
        return std::move(result.paths);
    case FileDialogOutcome::BufferTooSmall:
        ShowMessageBox("The names of the files you chose are too long to be taken in at once.\n"
                       "Nothing has been installed. Please choose fewer files at a time.",
                       kManagerCaption, MessageIcon::Error, MessageButtons::Ok, owner);
        return {};
    case FileDialogOutcome::Cancelled:
    case FileDialogOutcome::Failed:
        break;
    }
    return {};
}
