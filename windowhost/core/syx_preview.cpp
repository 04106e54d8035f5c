#include "windowhost/core/syx_preview.h"

#include <cctype>

namespace windowhost {

namespace {

std::string Count(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// "message 3" or "messages 3 to 5", counted from 1 as the refusals count them.
std::string Range(size_t first, size_t count) {
    if (count == 1) return "message " + std::to_string(first + 1);
    return "messages " + std::to_string(first + 1) + " to " + std::to_string(first + count);
}

std::string ItemLine(const druvhost::ItemImport& item, bool fits) {
    const std::string into = "\"" + item.item + "\"";
    if (item.messageCount == 0) return into + ": no message";
    std::string line = into + ": " + Range(item.firstMessage, item.messageCount);
    if (fits) line += ", " + Count(item.stored.size(), "byte", "bytes") + " stored";
    return line;
}

bool IsReservedDeviceName(const std::string& stem) {
    std::string upper;
    for (char c : stem) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") return true;
    return upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
           upper[3] >= '1' && upper[3] <= '9';
}

}  // namespace

SyxPreview MakeSyxPreview(const std::string& fileName, const druvhost::SyxFile& file,
                          const druvhost::SyxImport& import, const std::string& target) {
    SyxPreview preview;
    preview.fits = import.Fits();
    const std::string holds = fileName + " holds " + Count(file.messages.size(), "message", "messages");
    if (preview.fits)
        preview.heading = holds + "; OK imports them into \"" + target + "\":";
    else
        preview.heading = holds + " and does not fit \"" + target + "\"; nothing is imported: " + import.refusal;
    for (const druvhost::ItemImport& item : import.items) preview.lines.push_back(ItemLine(item, preview.fits));
    if (import.unmatchedCount > 0)
        preview.lines.push_back(Range(import.unmatchedFirst, import.unmatchedCount) +
                                (preview.fits ? ": matched no item" : ": not laid into any item"));
    if (file.skippedBytes > 0)
        preview.lines.push_back(Count(file.skippedBytes, "byte", "bytes") + " outside SysX messages: skipped");
    return preview;
}

std::string SyxFileName(const std::string& instrument, const std::string& part) {
    std::string name = instrument + " - " + part;
    for (char& c : name) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || std::string("\\/:*?\"<>|").find(c) != std::string::npos) c = '_';
    }
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    while (!name.empty() && name.front() == ' ') name.erase(name.begin());
    // "NUL.x - y" names the device as "NUL" alone would.
    if (name.empty() || IsReservedDeviceName(name.substr(0, name.find('.')))) name = "_" + name;
    return name + ".syx";
}

}  // namespace windowhost
