#include "manager/window/document_opener.h"

#include <shellapi.h>

#include "platform/wide_text.h"

void ShellOpenDocument(HWND owner, const std::string& document, const std::string& workingFolder) {
    const std::wstring file = WideText(document);
    const std::wstring folder = WideText(workingFolder);
    ShellExecuteW(owner, L"open", file.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL);
}
