#include "plugin/host/host_texts.h"

#include <cstring>
#include <new>

#include "contract/text_limits.h"
#include "device/companion_files.h"
#include "device/druv_configuration.h"
#include "device/druv_device.h"
#include "platform/utf16_text.h"

namespace {

constexpr char16_t kAllEntry[] = u"All;";
constexpr size_t kAllEntryLength = 4;
constexpr size_t kMaxNameBytes = kMaxTextLength;
constexpr size_t kMaxUrlUnits = kPictureUrlBytes / sizeof(WCHAR) - 1;

// The bytes of a name the host sees: up to a zero byte, at most 255, never
// ending inside a character. Their UTF-16 form is no longer than that.
size_t NameBytes(const std::string& name) {
    return Utf8CutLength(name.c_str(), std::strlen(name.c_str()), kMaxNameBytes);
}

size_t NameUnits(const std::string& name) { return Utf16Length(name.c_str(), NameBytes(name)); }

// Appends `text` at `used`, never past `room` units.
void Put(WCHAR* block, size_t& used, size_t room, const std::u16string& text) {
    for (size_t i = 0; i < text.size() && used < room; ++i) block[used++] = static_cast<WCHAR>(text[i]);
}

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
    for (size_t i = 0; i < device.ConfigurationCount(); ++i) units += NameUnits(device.Configuration(i)->Name()) + 1;
    return 2 * units + 4;
}

WCHAR* DataTypesText(const DRUVDevice& device) {
    const size_t bytes = DataTypesTextBytes(device);
    WCHAR* text = TaskBlock(bytes);
    if (!text) return nullptr;
    // Each name takes the units its size reserved; the last unit stays zero.
    const size_t room = bytes / sizeof(WCHAR) - 1;
    size_t used = 0;
    try {
        Put(text, used, room, kAllEntry);
        for (size_t i = 0; i < device.ConfigurationCount(); ++i) {
            // A ';' of the name would split it in two and shift every later
            // entry against its mask bit.
            const std::string name = HostListName(device.Configuration(i)->Name());
            if (i > 0) Put(text, used, room, u";");
            Put(text, used, room, Utf8ToUtf16(name.c_str(), NameBytes(name)));
        }
    } catch (const std::bad_alloc&) {
        CoTaskMemFree(text);
        return nullptr;
    }
    text[used] = 0;
    return text;
}

std::string DeviceFolder(const std::string& filePath) {
    size_t separator = filePath.find_last_of("\\/");
    return separator == std::string::npos ? filePath : filePath.substr(0, separator);
}

WCHAR* PictureUrl(const std::string& filePath, const std::string& picture) {
    // The host reads what the address names: a name that leads out of the
    // definition's folder, or is no picture, is answered as no picture.
    const std::string shown = CheckPictureFileName(picture) == CompanionFileProblem::None ? picture : std::string();
    std::u16string url;
    try {
        url = Utf8ToUtf16("file://" + DeviceFolder(filePath) + "/" + shown, kMaxUrlUnits);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    WCHAR* text = TaskBlock(kPictureUrlBytes);
    if (!text) return nullptr;
    size_t used = 0;
    Put(text, used, kMaxUrlUnits, url);
    text[used] = 0;
    return text;
}
