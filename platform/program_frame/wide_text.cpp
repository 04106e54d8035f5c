#include "platform/program_frame/wide_text.h"

#include "platform/utf16_text.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the wide API takes UTF-16");

std::wstring FrameWideText(const std::string& utf8) {
    const std::u16string wide = Utf8ToUtf16(utf8);
    return std::wstring(reinterpret_cast<const wchar_t*>(wide.data()), wide.size());
}

std::string FrameUtf8Text(const std::wstring& wide) {
    return Utf16ToUtf8(reinterpret_cast<const char16_t*>(wide.data()), wide.size());
}
