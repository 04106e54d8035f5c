#include "device/xml_text.h"

#include <cstdint>

namespace {

// Windows-1252 code points of the bytes 80 to 9F; 0 marks the five unused bytes.
const uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool InRange(unsigned char c, unsigned char low, unsigned char high) { return c >= low && c <= high; }

// Length of the UTF-8 sequence at `p` that XML 1.0 accepts as one character
// (no surrogates, no U+FFFE or U+FFFF), or 0.
size_t XmlUtf8Length(const unsigned char* p, size_t left) {
    const unsigned char c = p[0];
    if (c < 0x80) return 1;
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (InRange(c, 0xC2, 0xDF)) {
        length = 2;
    } else if (InRange(c, 0xE0, 0xEF)) {
        length = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (InRange(c, 0xF0, 0xF4)) {
        length = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (left < length || !InRange(p[1], low, high)) return 0;
    for (size_t i = 2; i < length; ++i)
        if (!InRange(p[i], 0x80, 0xBF)) return 0;
    if (c == 0xEF && p[1] == 0xBF && (p[2] == 0xBE || p[2] == 0xBF)) return 0;
    return length;
}

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (code & 0x3F));
}

bool IsXmlControl(unsigned char c) { return c < 0x20 && c != '\t' && c != '\n' && c != '\r'; }

}  // namespace

std::string ToXmlCharacterData(const std::string& text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size();
    std::string out;
    out.reserve(size);
    for (size_t i = 0; i < size;) {
        const size_t length = XmlUtf8Length(bytes + i, size - i);
        if (length == 1) {
            if (!IsXmlControl(bytes[i])) out += static_cast<char>(bytes[i]);
        } else if (length > 1) {
            out.append(text, i, length);
        } else {
            const unsigned char c = bytes[i];
            const uint32_t code = c >= 0xA0 ? c : kCp1252High[c - 0x80];
            if (code != 0) AppendUtf8(out, code);
        }
        i += length ? length : 1;
    }
    return out;
}
