#include "manager/window/instrument_list_box.h"

#include "platform/wide_text.h"

void ShowInstrumentList(HWND listBox, const InstrumentList& list) {
    SendMessageW(listBox, WM_SETREDRAW, FALSE, 0);
    SendMessageW(listBox, LB_RESETCONTENT, 0, 0);
    for (const InstrumentItem& item : list.Items()) {
        const std::wstring name = WideText(item.displayName);
        const LRESULT index = SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        if (index >= 0 && item.selected) SendMessageW(listBox, LB_SETSEL, TRUE, index);
    }
    SendMessageW(listBox, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listBox, nullptr, TRUE);
}

void TakeListSelection(HWND listBox, InstrumentManager& manager) {
    const size_t count = manager.List().Count();
    for (size_t i = 0; i < count; ++i)
        manager.SetSelected(i, SendMessageW(listBox, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0);
}
