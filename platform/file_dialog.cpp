#include "platform/file_dialog.h"

namespace {

FileDialogHandler& InstalledHandler() {
    static FileDialogHandler handler;
    return handler;
}

}  // namespace

FileDialogResult ShowFileDialog(const FileDialogRequest& request) {
    const FileDialogHandler& handler = InstalledHandler();
    return handler ? handler(request) : SystemFileDialog(request);
}

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler) {
    FileDialogHandler previous = std::move(InstalledHandler());
    InstalledHandler() = std::move(handler);
    return previous;
}
