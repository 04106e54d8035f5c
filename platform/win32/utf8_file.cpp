#include "platform/utf8_file.h"

#include <wchar.h>

#include "platform/utf16_text.h"

std::FILE* OpenUtf8File(const std::string& path, const char* mode) {
    if (!mode) return nullptr;
    const std::u16string name = Utf8ToUtf16(path);
    const std::wstring wideName(name.begin(), name.end());
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(wideName.c_str(), wideMode.c_str());
}
