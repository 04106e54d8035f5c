#include "plugin/host/host_texts.h"

#include <cstring>
#include <memory>

#include "device/druv_device.h"
#include "plugin/engine/wide_text.h"

namespace {

constexpr char kAllEntry[] = "All;";
constexpr size_t kAllEntryLength = 4;
constexpr size_t kMaxNameBytes = 255;
constexpr size_t kMaxUrlUnits = kPictureUrlBytes / sizeof(WCHAR) - 1;

size_t NameBytes(const std::string& name) {
    size_t length = std::strlen(name.c_str());
    return length < kMaxNameBytes ? length : kMaxNameBytes;
}

size_t UnitCount(const WCHAR* text) {
    size_t count = 0;
    while (text[count] != 0) ++count;
    return count;
}

bool IsHighSurrogate(WCHAR unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

// A zeroed block of `bytes` bytes from the task allocator.
WCHAR* TaskBlock(size_t bytes) {
    void* block = CoTaskMemAlloc(bytes);
    if (block) std::memset(block, 0, bytes);
    return static_cast<WCHAR*>(block);
}

}  // namespace

uint32_t DataTypesMask(size_t configurationCount) {
    uint32_t bits = configurationCount >= 32 ? 0xFFFFFFFFu : (1u << configurationCount) - 1;
    return bits | 0x80000000u;
}

size_t DataTypesTextBytes(const DRUVDevice& device) {
    size_t units = kAllEntryLength;
    for (size_t i = 0; i < device.ConfigurationCount(); ++i)
        units += NameBytes(device.Configuration(i)->Name()) + 1;
    return 2 * units + 4;
}

WCHAR* DataTypesText(const DRUVDevice& device) {
    // Conversion never gives more UTF-16 units than it takes bytes, so every
    // name fits in the room its byte length reserves.
    size_t bytes = DataTypesTextBytes(device);
    WCHAR* text = TaskBlock(bytes);
    if (!text) return nullptr;

    size_t used = 0;
    for (const char* c = kAllEntry; *c; ++c) text[used++] = static_cast<WCHAR>(*c);
    for (size_t i = 0; i < device.ConfigurationCount(); ++i) {
        const std::string& name = device.Configuration(i)->Name();
        if (i > 0) text[used++] = ';';
        std::unique_ptr<WCHAR[]> wide = WidenText(name.c_str(), NameBytes(name));
        if (!wide) {
            CoTaskMemFree(text);
            return nullptr;
        }
        size_t units = UnitCount(wide.get());
        std::memcpy(text + used, wide.get(), units * sizeof(WCHAR));
        used += units;
    }
    text[used] = 0;
    return text;
}

std::string DeviceFolder(const std::string& filePath) {
    size_t separator = filePath.find_last_of("\\/");
    return separator == std::string::npos ? filePath : filePath.substr(0, separator);
}

WCHAR* PictureUrl(const std::string& filePath, const std::string& picture) {
    std::string url = "file://" + DeviceFolder(filePath) + "/" + picture;
    std::unique_ptr<WCHAR[]> wide = WidenText(url.c_str(), url.size());
    if (!wide) return nullptr;

    size_t units = UnitCount(wide.get());
    if (units > kMaxUrlUnits) {
        units = kMaxUrlUnits;
        if (IsHighSurrogate(wide[units - 1])) --units;
    }
    WCHAR* text = TaskBlock(kPictureUrlBytes);
    if (!text) return nullptr;
    std::memcpy(text, wide.get(), units * sizeof(WCHAR));
    text[units] = 0;
    return text;
}
