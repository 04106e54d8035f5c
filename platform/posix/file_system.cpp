#include "platform/file_system.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

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

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first;
    struct stat second;
    if (a.empty() || b.empty() || stat(a.c_str(), &first) != 0 || stat(b.c_str(), &second) != 0) return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}
