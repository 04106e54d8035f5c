#include "manager/window/file_identity.h"

#include <windows.h>

#include "platform/wide_text.h"

namespace {

// Asks nothing of the file but its attributes, so that a file in use by the
// host (the plug-in) opens all the same.
bool Identify(const std::string& path, BY_HANDLE_FILE_INFORMATION& information) {
    HANDLE file = CreateFileW(WideText(path).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(file, &information) != 0;
    CloseHandle(file);
    return known;
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    if (a.empty() || b.empty() || !Identify(a, first) || !Identify(b, second)) return false;
    return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}
