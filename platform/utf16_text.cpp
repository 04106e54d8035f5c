#include "platform/utf16_text.h"

#include <cstdint>

namespace {

struct Decoded {
    char32_t code;         // kReplacementCharacter when ill-formed
    size_t used;           // bytes taken, at least 1
    bool cutShort = false;  // a well-formed start that the end of the bytes cuts off
};

bool InRange(unsigned char c, unsigned char low, unsigned char high) { return c >= low && c <= high; }

// The character at `p` (with `left` > 0 bytes there). An ill-formed part takes
// the longest run of bytes that begins a well-formed sequence, or one byte.
Decoded Decode(const unsigned char* p, size_t left) {
    const unsigned char lead = p[0];
    if (lead < 0x80) return {lead, 1};
    size_t length;
    char32_t code;
    unsigned char low = 0x80, high = 0xBF;  // what the second byte may be
    if (InRange(lead, 0xC2, 0xDF)) {
        length = 2;
        code = lead & 0x1F;
    } else if (InRange(lead, 0xE0, 0xEF)) {
        length = 3;
        code = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;   // shorter forms are overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (InRange(lead, 0xF0, 0xF4)) {
        length = 4;
        code = lead & 0x07;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
        return {kReplacementCharacter, 1};
    }
    for (size_t i = 1; i < length; ++i) {
        if (i == left) return {kReplacementCharacter, i, true};
        const bool fits = i == 1 ? InRange(p[i], low, high) : InRange(p[i], 0x80, 0xBF);
        if (!fits) return {kReplacementCharacter, i};
        code = (code << 6) | (p[i] & 0x3F);
    }
    return {code, length};
}

size_t UnitsOf(char32_t code) { return code >= 0x10000 ? 2 : 1; }

size_t BytesOf(char32_t code) {
    if (code < 0x80) return 1;
    if (code < 0x800) return 2;
    if (code < 0x10000) return 3;
    return 4;
}

void AppendUtf8(std::string& out, char32_t code) {
    switch (BytesOf(code)) {
    case 1:
        out += static_cast<char>(code);
        break;
    case 2:
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
        break;
    case 3:
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
        break;
    default:
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
        break;
    }
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The character at `p` (with `left` > 0 units there) and the units it takes.
Decoded Decode16(const char16_t* p, size_t left) {
    if (IsHighSurrogate(p[0]) && left > 1 && IsLowSurrogate(p[1]))
        return {0x10000 + ((char32_t(p[0]) - 0xD800) << 10) + (char32_t(p[1]) - 0xDC00), 2};
    if (IsHighSurrogate(p[0]) || IsLowSurrogate(p[0])) return {kReplacementCharacter, 1};
    return {p[0], 1};
}

}  // namespace

std::u16string Utf8ToUtf16(const char* text, size_t length, size_t maxUnits) {
    std::u16string out;
    if (!text) return out;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    for (size_t position = 0; position < length;) {
        const Decoded decoded = Decode(bytes + position, length - position);
        const size_t units = UnitsOf(decoded.code);
        if (units > maxUnits - out.size()) break;
        if (units == 2) {
            const char32_t above = decoded.code - 0x10000;
            out += static_cast<char16_t>(0xD800 | (above >> 10));
            out += static_cast<char16_t>(0xDC00 | (above & 0x3FF));
        } else {
            out += static_cast<char16_t>(decoded.code);
        }
        position += decoded.used;
    }
    return out;
}

std::u16string Utf8ToUtf16(const std::string& text, size_t maxUnits) {
    return Utf8ToUtf16(text.data(), text.size(), maxUnits);
}

std::string Utf16ToUtf8(const char16_t* text, size_t length, size_t maxBytes) {
    std::string out;
    if (!text) return out;
    for (size_t position = 0; position < length;) {
        const Decoded decoded = Decode16(text + position, length - position);
        if (BytesOf(decoded.code) > maxBytes - out.size()) break;
        AppendUtf8(out, decoded.code);
        position += decoded.used;
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& text, size_t maxBytes) {
    return Utf16ToUtf8(text.data(), text.size(), maxBytes);
}

size_t Utf8CutLength(const char* text, size_t length, size_t maxBytes) {
    if (!text) return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t position = 0;
    while (position < length) {
        const Decoded decoded = Decode(bytes + position, length - position);
        if (decoded.cutShort || decoded.used > maxBytes - position) break;
        position += decoded.used;
    }
    return position;
}

size_t Utf8CutLengthInUnits(const char* text, size_t length, size_t maxUnits) {
    if (!text) return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t position = 0;
    size_t units = 0;
    while (position < length) {
        const Decoded decoded = Decode(bytes + position, length - position);
        const size_t needed = UnitsOf(decoded.code);
        if (needed > maxUnits - units) break;
        units += needed;
        position += decoded.used;
    }
    return position;
}

size_t Utf16Length(const char* text, size_t length) {
    if (!text) return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t units = 0;
    for (size_t position = 0; position < length;) {
        const Decoded decoded = Decode(bytes + position, length - position);
        units += UnitsOf(decoded.code);
        position += decoded.used;
    }
    return units;
}
