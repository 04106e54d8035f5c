// Fills a drop-down list with fixed entries, in order, so that an entry's
// index is the value it stands for.
#pragma once

#include <windows.h>

#include <cstddef>

#include "platform/wide_text.h"

template <size_t N>
void FillDropDown(HWND dropDown, const char* const (&entries)[N]) {
    SendMessageW(dropDown, CB_RESETCONTENT, 0, 0);
    for (const char* entry : entries)
        SendMessageW(dropDown, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(entry).c_str()));
}

// Widens the list that drops down so that its longest entry shows whole.
void FitDroppedList(HWND dropDown);
