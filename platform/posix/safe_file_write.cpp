#include "platform/safe_file_write.h"

#include <unistd.h>

#include <cstdio>

#include "platform/safe_file_write_system.h"

namespace safe_write_system {

unsigned ProcessNumber() { return static_cast<unsigned>(getpid()); }

bool FileIsThere(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

bool PutInPlace(const std::string& temporary, const std::string& path) {
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

void RemoveFile(const std::string& path) { std::remove(path.c_str()); }

}  // namespace safe_write_system

bool FlushFileToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
    return fsync(fileno(file)) == 0;
}
