#include "platform/program_frame/dialog_template.h"

#include <initializer_list>

namespace {

constexpr size_t kItemCountWord = 4;  // after the style and extended style

}  // namespace

DialogTemplate::DialogTemplate(DWORD style, const std::wstring& caption, DialogUnitsRect place, WORD fontPoints,
                               const std::wstring& fontFace) {
    AddDword(style | DS_SETFONT);
    AddDword(0);  // extended style
    words_.push_back(0);  // item count, counted up by AddControl
    for (short value : {place.x, place.y, place.cx, place.cy}) words_.push_back(static_cast<WORD>(value));
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the predefined dialog class
    AddText(caption);
    words_.push_back(fontPoints);
    AddText(fontFace);
}

void DialogTemplate::AddControl(DialogControlClass type, DWORD style, DialogUnitsRect place, WORD id,
                                const std::wstring& text) {
    AlignToDword();
    AddDword(style | WS_CHILD | WS_VISIBLE);
    AddDword(0);  // extended style
    for (short value : {place.x, place.y, place.cx, place.cy}) words_.push_back(static_cast<WORD>(value));
    words_.push_back(id);
    words_.push_back(0xFFFF);  // the class by atom
    words_.push_back(static_cast<WORD>(type));
    AddText(text);
    words_.push_back(0);  // no creation data
    ++words_[kItemCountWord];
}

void DialogTemplate::AddText(const std::wstring& text) {
    words_.insert(words_.end(), text.begin(), text.end());
    words_.push_back(0);
}

void DialogTemplate::AddDword(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
}

void DialogTemplate::AlignToDword() {
    if (words_.size() % 2 != 0) words_.push_back(0);
}
