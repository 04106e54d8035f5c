#include "plugin/engine/wide_text.h"

#include <new>
#include <string>

#include "platform/utf16_text.h"

std::unique_ptr<WCHAR[]> WidenText(const char* text, size_t maxBytes) {
    if (!text) text = "";
    size_t length = 0;
    while (length < maxBytes && text[length] != '\0') ++length;
    // The text may go on past the limit, or a formatting buffer of that size
    // may have cut it: either way its last character may be incomplete.
    if (length == maxBytes) length = Utf8CutLength(text, length, maxBytes);

    try {
        const std::u16string units = Utf8ToUtf16(text, length);
        std::unique_ptr<WCHAR[]> wide(new WCHAR[units.size() + 1]);
        for (size_t i = 0; i < units.size(); ++i) wide[i] = static_cast<WCHAR>(units[i]);
        wide[units.size()] = 0;
        return wide;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
