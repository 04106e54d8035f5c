#include "device/text_fields.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

size_t Utf8SequenceLength(unsigned char lead) {
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

// Length of the longest prefix of at most `limit` bytes that does not end
// inside a well-formed UTF-8 sequence. Bytes that are not UTF-8 (texts of an
// 8-bit code page) are cut at `limit` itself.
size_t CutLength(const unsigned char* text, size_t limit) {
    if (!IsContinuationByte(text[limit])) return limit;
    for (size_t back = 1; back <= 3 && back <= limit; ++back) {
        const unsigned char c = text[limit - back];
        if (IsContinuationByte(c)) continue;
        const size_t length = Utf8SequenceLength(c);
        if (length > back) {
            for (size_t i = back; i < length; ++i)
                if (!IsContinuationByte(text[limit - back + i])) return limit;
            return limit - back;
        }
        return limit;
    }
    return limit;
}

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string CapText(const char* text) {
    if (text == nullptr) return std::string();
    size_t length = 0;
    while (length <= kMaxTextLength && text[length] != '\0') ++length;
    if (length <= kMaxTextLength) return std::string(text, length);
    return std::string(text, CutLength(reinterpret_cast<const unsigned char*>(text), kMaxTextLength));
}

int32_t DecimalTextToInt(const char* text) {
    if (text == nullptr) return 0;
    // strtoll, then the 32-bit saturation that strtol has where long is 32 bits.
    const long long value = std::strtoll(text, nullptr, 10);
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

std::string DecimalText(int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return text;
}

bool EqualsIgnoringCase(const char* a, const char* b) {
    if (a == nullptr) a = "";
    if (b == nullptr) b = "";
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (FoldCase(*a) != FoldCase(*b)) return false;
    return *a == *b;
}
