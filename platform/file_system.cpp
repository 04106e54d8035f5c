#include "platform/file_system.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/wide_text.h"
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>
#endif

std::string FolderOfPath(const std::string& path) {
    const size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(0, separator);
}

#ifdef _WIN32
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
#else
std::string ModuleFilePath() {
    for (size_t size = 256; size <= 65536; size *= 2) {
        std::vector<char> buffer(size);
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return std::string();
        // readlink does not say when it cut the link short; a full buffer may be cut.
        if (static_cast<size_t>(length) < size) return std::string(buffer.data(), static_cast<size_t>(length));
    }
    return std::string();
}

bool FileExists(const std::string& path) {
    struct stat status;
    return !path.empty() && stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

// The current folder put in front; "." and ".." stay as they are, which the
// system resolves the same way.
std::string AbsolutePath(const std::string& path) {
    if (path.empty() || path.front() == '/') return path;
    for (size_t size = 256; size <= 65536; size *= 2) {
        std::vector<char> buffer(size);
        if (getcwd(buffer.data(), buffer.size())) {
            const std::string folder = buffer.data();
            return folder.back() == '/' ? folder + path : folder + "/" + path;
        }
        if (errno != ERANGE) return path;
    }
    return path;
}
#endif
