#include "platform/utf8_file.h"

std::FILE* OpenUtf8File(const std::string& path, const char* mode) {
    if (!mode) return nullptr;
    return std::fopen(path.c_str(), mode);
}
