#include "platform/guid.h"

#include <cstring>

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool IsBracedGuidText(const char* text) {
    if (text == nullptr || std::strlen(text) != kBracedGuidLength) return false;
    for (size_t i = 0; i < kBracedGuidLength; ++i) {
        const char c = text[i];
        if (i == 0) {
            if (c != '{') return false;
        } else if (i == kBracedGuidLength - 1) {
            if (c != '}') return false;
        } else if (i == 9 || i == 14 || i == 19 || i == 24) {
            if (c != '-') return false;
        } else if (HexDigitValue(c) < 0) {
            return false;
        }
    }
    return true;
}
