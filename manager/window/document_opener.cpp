#include "manager/window/document_opener.h"

#include <shellapi.h>

#include "platform/program_frame/wide_text.h"

void ShellOpenDocument(HWND owner, const std::string& document, const std::string& workingFolder) {
    const std::wstring file = FrameWideText(document);
    const std::wstring folder = FrameWideText(workingFolder);
    ShellExecuteW(owner, L"open", file.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL);
}
