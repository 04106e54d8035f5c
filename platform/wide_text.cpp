#include "platform/wide_text.h"

#include <cwchar>

#include "platform/utf16_text.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the wide API takes UTF-16");

std::wstring WideText(const std::string& utf8) {
    const std::u16string units = Utf8ToUtf16(utf8);
    return std::wstring(reinterpret_cast<const wchar_t*>(units.data()), units.size());
}

std::wstring WideText(const char* utf8) { return utf8 ? WideText(std::string(utf8)) : std::wstring(); }

std::string Utf8Text(const wchar_t* text) { return text ? Utf8Text(text, std::wcslen(text)) : std::string(); }

std::string Utf8Text(const wchar_t* text, size_t length) {
    if (!text) return std::string();
    return Utf16ToUtf8(reinterpret_cast<const char16_t*>(text), length);
}

std::string Utf8Text(const std::wstring& text) { return Utf8Text(text.data(), text.size()); }
