// Small pieces the window's files share.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

#include "druvhost/project/project_file.h"
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

}  // namespace windowhost
