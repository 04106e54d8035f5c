#include "platform/safe_file_write.h"

#include <io.h>
#include <windows.h>

#include <cstdint>

#include "platform/safe_file_write_system.h"
#include "platform/wide_text.h"

namespace safe_write_system {

unsigned ProcessNumber() { return static_cast<unsigned>(GetCurrentProcessId()); }

bool FileIsThere(const std::string& path) {
    return GetFileAttributesW(WideText(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// ReplaceFile keeps the target's attributes and security; a file system that
// cannot (or a target that is not there) falls back to a plain move over it.
bool PutInPlace(const std::string& temporary, const std::string& path) {
    const std::wstring from = WideText(temporary);
    const std::wstring to = WideText(path);
    const DWORD attributes = GetFileAttributesW(to.c_str());
    // A folder is never replaced by a file; Wine's ReplaceFile would move the
    // folder aside and lose the new file.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return true;
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void RemoveFile(const std::string& path) { DeleteFileW(WideText(path).c_str()); }

}  // namespace safe_write_system

bool FlushFileToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
    // fflush only empties the C library's buffer into the system's cache.
    const intptr_t handle = _get_osfhandle(_fileno(file));
    return handle != -1 && FlushFileBuffers(reinterpret_cast<HANDLE>(handle)) != 0;
}
