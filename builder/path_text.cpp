#include "builder/path_text.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool StartsCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

}  // namespace

std::string PathTail(const std::string& path, const std::function<bool(const std::string&)>& fits) {
    if (path.empty() || fits(path)) return path;
    // Folders first, from the outermost: the first tail that fits is the longest.
    for (size_t i = 1; i < path.size(); ++i)
        if (IsSeparator(path[i]) && fits(kPathEllipsis + path.substr(i))) return kPathEllipsis + path.substr(i);
    // Then the file's name, from its first character.
    const size_t separator = path.find_last_of("\\/");
    std::string shortest;
    const size_t name = separator == std::string::npos || separator + 1 == path.size() ? 1 : separator + 1;
    for (size_t i = name; i < path.size(); ++i) {
        if (!StartsCharacter(path[i])) continue;
        shortest = kPathEllipsis + path.substr(i);
        if (fits(shortest)) return shortest;
    }
    return shortest.empty() ? kPathEllipsis : shortest;
}
