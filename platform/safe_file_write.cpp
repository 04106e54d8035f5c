#include "platform/safe_file_write.h"

#include <cstdio>
#include <string>

#include "platform/safe_file_write_system.h"
#include "platform/utf8_file.h"

namespace {

bool WriteWhole(std::FILE* file, const unsigned char* bytes, size_t size) {
    return std::fwrite(bytes, 1, size, file) == size;
}

// A fresh temporary file: "wb" would empty a file of that name that belongs
// to someone else, so a name already taken is skipped.
std::FILE* CreateTemporaryFile(const std::string& path, std::string& temporary) {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        temporary = TemporaryFileNameFor(path, attempt);
        if (safe_write_system::FileIsThere(temporary)) continue;
        if (std::FILE* file = OpenUtf8File(temporary, "wb")) return file;
        return nullptr;
    }
    return nullptr;
}

}  // namespace

std::string TemporaryFileNameFor(const std::string& path, unsigned attempt) {
    return path + ".tmp-" + std::to_string(safe_write_system::ProcessNumber()) + "-" + std::to_string(attempt);
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
    if (written && safe_write_system::PutInPlace(temporary, path)) return true;
    safe_write_system::RemoveFile(temporary);
    return false;
}
