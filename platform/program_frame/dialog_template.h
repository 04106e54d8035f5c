// A dialog template built in memory, so that a program needs no dialog
// resource for a box the frame shows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Predefined window classes a template names by atom.
enum class DialogControlClass : WORD { Button = 0x0080, Edit = 0x0081, Static = 0x0082, ListBox = 0x0083 };

struct DialogUnitsRect {
    short x, y, cx, cy;
};

class DialogTemplate {
public:
    // A dialog with `style` (DS_SETFONT is added), its caption and its place
    // and size in dialog units, in the font `fontFace` at `fontPoints`.
    DialogTemplate(DWORD style, const std::wstring& caption, DialogUnitsRect place, WORD fontPoints,
                   const std::wstring& fontFace);

    void AddControl(DialogControlClass type, DWORD style, DialogUnitsRect place, WORD id, const std::wstring& text);

    const DLGTEMPLATE* Data() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void AddText(const std::wstring& text);
    void AddDword(DWORD value);
    void AlignToDword();

    std::vector<WORD> words_;  // each item starts on a DWORD boundary of this buffer
};
