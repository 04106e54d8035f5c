#include "plugin/engine/wide_text.h"

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <new>

namespace {

constexpr uint32_t kReplacementCharacter = 0xFFFD;

class Utf16Writer {
public:
    explicit Utf16Writer(WCHAR* out) : out_(out) {}

    // wchar_t is a UTF-16 unit on Windows and a whole code point elsewhere.
    void Put(wchar_t character) {
        uint32_t code = static_cast<uint32_t>(character);
        if (sizeof(wchar_t) == 2) {
            Unit(code & 0xFFFF);
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            Unit(kReplacementCharacter);
        } else if (code < 0x10000) {
            Unit(code);
        } else if (code <= 0x10FFFF) {
            code -= 0x10000;
            Unit(0xD800 | (code >> 10));
            Unit(0xDC00 | (code & 0x3FF));
        } else {
            Unit(kReplacementCharacter);
        }
    }
    void Unit(uint32_t unit) { out_[count_++] = static_cast<WCHAR>(unit); }
    void Finish() { out_[count_] = 0; }

private:
    WCHAR* out_;
    size_t count_ = 0;
};

}  // namespace

std::unique_ptr<WCHAR[]> WidenText(const char* text, size_t maxBytes) {
    if (!text) text = "";
    size_t length = 0;
    while (length < maxBytes && text[length] != '\0') ++length;

    // One byte never yields more than one character, and a character needs at
    // most two units; two units per byte is always enough.
    std::unique_ptr<WCHAR[]> wide(new (std::nothrow) WCHAR[2 * length + 1]);
    if (!wide) return nullptr;

    Utf16Writer writer(wide.get());
    std::mbstate_t state{};
    size_t position = 0;
    while (position < length) {
        wchar_t character = 0;
        size_t used = std::mbrtowc(&character, text + position, length - position, &state);
        if (used == 0) break;
        if (used == static_cast<size_t>(-1)) {
            writer.Unit(kReplacementCharacter);
            state = std::mbstate_t{};
            ++position;
        } else if (used == static_cast<size_t>(-2)) {
            break;  // a character cut off by the byte limit
        } else if (used == static_cast<size_t>(-3)) {
            writer.Put(character);  // the second half of a pair, no bytes used
        } else {
            writer.Put(character);
            position += used;
        }
    }
    writer.Finish();
    return wide;
}
