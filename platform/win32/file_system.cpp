#include "platform/file_system.h"

#include <windows.h>

#include "platform/wide_text.h"

std::string LoadedModuleFilePath(void* module) {
    // A path may be far longer than MAX_PATH; grow until the whole of it fits.
    for (DWORD size = MAX_PATH; size <= 32768 * 2; size *= 2) {
        std::wstring buffer(size, L'\0');
        const DWORD length = GetModuleFileNameW(static_cast<HMODULE>(module), &buffer[0], size);
        if (length == 0) return std::string();
        if (length < size) return Utf8Text(buffer.c_str(), length);
    }
    return std::string();
}

std::string ModuleFilePath() { return LoadedModuleFilePath(nullptr); }

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesW(WideText(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty()) return path;
    const std::wstring wide = WideText(path);
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring buffer(needed, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), needed, &buffer[0], nullptr);
    // The current folder may have changed in between and no longer fit.
    if (length == 0 || length >= needed) return path;
    return Utf8Text(buffer.c_str(), length);
}

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
