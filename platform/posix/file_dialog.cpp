#include "platform/file_dialog.h"

// Nobody could answer a dialog here, and pretending a choice was cancelled
// would hide that it was never shown.
FileDialogResult SystemFileDialog(const FileDialogRequest&) {
    FileDialogResult result;
    result.outcome = FileDialogOutcome::Failed;
    return result;
}
