#include "platform/safe_file_write.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include "platform/wide_text.h"
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <string>

#include "platform/utf8_file.h"

namespace {

#ifdef _WIN32
unsigned ProcessNumber() { return static_cast<unsigned>(GetCurrentProcessId()); }

bool FileIsThere(const std::string& path) {
    return GetFileAttributesW(WideText(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// ReplaceFile keeps the target's attributes and security; a file system that
// cannot (or a target that is not there) falls back to a plain move over it.
bool PutInPlace(const std::string& temporary, const std::string& path) {
    const std::wstring from = WideText(temporary);
    const std::wstring to = WideText(path);
    if (GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES &&
        ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return true;
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void RemoveFile(const std::string& path) { DeleteFileW(WideText(path).c_str()); }
#else
unsigned ProcessNumber() { return static_cast<unsigned>(getpid()); }

bool FileIsThere(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

bool PutInPlace(const std::string& temporary, const std::string& path) {
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

void RemoveFile(const std::string& path) { std::remove(path.c_str()); }
#endif

bool WriteWhole(std::FILE* file, const unsigned char* bytes, size_t size) {
    return std::fwrite(bytes, 1, size, file) == size;
}

// A fresh temporary file: "wb" would empty a file of that name that belongs
// to someone else, so a name already taken is skipped.
std::FILE* CreateTemporaryFile(const std::string& path, std::string& temporary) {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        temporary = TemporaryFileNameFor(path, attempt);
        if (FileIsThere(temporary)) continue;
        if (std::FILE* file = OpenUtf8File(temporary, "wb")) return file;
        return nullptr;
    }
    return nullptr;
}

}  // namespace

bool FlushFileToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
#ifdef _WIN32
    // fflush only empties the C library's buffer into the system's cache.
    const intptr_t handle = _get_osfhandle(_fileno(file));
    return handle != -1 && FlushFileBuffers(reinterpret_cast<HANDLE>(handle)) != 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

std::string TemporaryFileNameFor(const std::string& path, unsigned attempt) {
    return path + ".tmp-" + std::to_string(ProcessNumber()) + "-" + std::to_string(attempt);
}

bool WriteFileSafely(const std::string& path, const void* bytes, size_t size, const FileChunkWriter& writer) {
    if (path.empty() || (bytes == nullptr && size > 0)) return false;
    std::string temporary;
    std::FILE* file = CreateTemporaryFile(path, temporary);
    if (file == nullptr) return false;
    const auto* data = static_cast<const unsigned char*>(bytes);
    bool written = writer ? writer(file, data, size) : WriteWhole(file, data, size);
    written = FlushFileToDisk(file) && written;
    written = (std::fclose(file) == 0) && written;
    if (written && PutInPlace(temporary, path)) return true;
    RemoveFile(temporary);
    return false;
}
