#include "platform/file_dialog.h"

#include "platform/utf16_text.h"

std::vector<std::string> SplitMultipleSelection(const std::u16string& buffer) {
    std::vector<std::u16string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = buffer.find(u'\0', start);
        // Without its closing zero unit the buffer may have been cut anywhere.
        if (end == std::u16string::npos) return {};
        if (end == start) break;
        parts.push_back(buffer.substr(start, end - start));
        start = end + 1;
    }
    if (parts.empty()) return {};
    if (parts.size() == 1) return {Utf16ToUtf8(parts.front())};

    std::u16string folder = parts.front();
    if (folder.back() != u'\\' && folder.back() != u'/') folder += u'\\';
    std::vector<std::string> paths;
    for (size_t i = 1; i < parts.size(); ++i) paths.push_back(Utf16ToUtf8(folder + parts[i]));
    return paths;
}

std::u16string SystemFilterText(const std::string& filter) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = filter.find('|', start);
        parts.push_back(filter.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    std::u16string text;
    for (size_t i = 0; i + 1 < parts.size() && !parts[i].empty() && !parts[i + 1].empty(); i += 2) {
        text += Utf8ToUtf16(parts[i]) + u'\0';
        text += Utf8ToUtf16(parts[i + 1]) + u'\0';
    }
    if (!text.empty()) text += u'\0';
    return text;
}
