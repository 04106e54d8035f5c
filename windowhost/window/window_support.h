// Small pieces the window's files share.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

#include "druvhost/project/project_file.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "windowhost/core/host_document.h"

namespace windowhost {

inline druvhost::ClassId ToClassId(const GUID& guid) {
    druvhost::ClassId id;
    std::memcpy(id.data(), &guid, id.size());
    return id;
}

inline void ShowError(HWND owner, const std::string& text) {
    ShowMessageBox(text.c_str(), kProgramName, MessageIcon::Error, MessageButtons::Ok, owner);
}

// The existing file the musician chooses to open; empty when none is chosen.
inline std::string ChooseFileToOpen(HWND owner, const char* filter, const char* extension, const char* title) {
    FileDialogRequest request;
    request.kind = FileDialogKind::Open;
    request.filter = filter;
    request.defaultExtension = extension;
    if (title != nullptr) request.title = title;
    request.flags = kFileDialogFileMustExist | kFileDialogPathMustExist | kFileDialogHideReadOnly;
    request.owner = owner;
    const FileDialogResult chosen = ShowFileDialog(request);
    return chosen.outcome == FileDialogOutcome::Chosen && !chosen.paths.empty() ? chosen.paths.front() : std::string();
}

}  // namespace windowhost
