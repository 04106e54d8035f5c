#include "platform/file_dialog.h"

#include <utility>

namespace {

InstalledHandler<FileDialogHandler>& Installed() {
    static InstalledHandler<FileDialogHandler> handler;
    return handler;
}

}  // namespace

FileDialogResult ShowFileDialog(const FileDialogRequest& request) {
    const FileDialogHandler& handler = Installed().Get();
    return handler ? handler(request) : SystemFileDialog(request);
}

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler) { return Installed().Replace(std::move(handler)); }
