#include "builder/window/win32_builder_view.h"

#include "builder/path_text.h"
#include "platform/wide_text.h"

namespace {

// Read by the exact length the control reports: a byte box has no limit.
std::wstring WindowText(HWND control) {
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, &text[0], length + 1)));
    return text;
}

}  // namespace

void Win32BuilderView::SetTitle(const std::string& title) { SetWindowTextW(dialog_, WideText(title).c_str()); }

std::string Win32BuilderView::Text(ControlId control) const { return Utf8Text(WindowText(Control(control))); }

void Win32BuilderView::SetText(ControlId control, const std::string& text) {
    SetWindowTextW(Control(control), WideText(text).c_str());
}

// A limit of 0 is the control's own "as much as memory allows".
void Win32BuilderView::SetTextLimit(ControlId control, size_t units) {
    Send(control, EM_SETLIMITTEXT, static_cast<WPARAM>(units));
}

void Win32BuilderView::ShowPath(ControlId control, const std::string& path) {
    HWND box = Control(control);
    const std::string shown = PathTail(path, [box](const std::string& text) { return FitsInBox(box, WideText(text)); });
    SetWindowTextW(box, WideText(shown).c_str());
    toolTips_[control].Show(box, WideText(path));
}

bool Win32BuilderView::IsChecked(ControlId control) const {
    return IsDlgButtonChecked(dialog_, control) == BST_CHECKED;
}

void Win32BuilderView::SetChecked(ControlId control, bool checked) {
    CheckDlgButton(dialog_, control, checked ? BST_CHECKED : BST_UNCHECKED);
}

int Win32BuilderView::DropDownSelection(ControlId control) const {
    const LRESULT selected = Send(control, CB_GETCURSEL);
    return selected == CB_ERR ? -1 : static_cast<int>(selected);
}

void Win32BuilderView::SetDropDownSelection(ControlId control, int index) {
    Send(control, CB_SETCURSEL, static_cast<WPARAM>(index));
}

// A control that loses its enabling while it has the focus hands the focus on
// to the next control, so that the keyboard keeps working (Enter on Add
// empties the name box, and Add is disabled under the key).
void Win32BuilderView::Enable(ControlId control, bool enabled) {
    HWND window = Control(control);
    if (!enabled && GetFocus() == window) SendMessageW(dialog_, WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(window, enabled ? TRUE : FALSE);
}

int Win32BuilderView::ItemCount(ControlId list) const {
    const LRESULT count = Send(list, LB_GETCOUNT);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::string Win32BuilderView::ItemText(ControlId list, int index) const {
    const LRESULT length = Send(list, LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length == LB_ERR || length <= 0) return std::string();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = Send(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
    return Utf8Text(text);
}

void Win32BuilderView::InsertItem(ControlId list, int index, const std::string& text) {
    const int at = index < 0 || index >= ItemCount(list) ? -1 : index;
    Send(list, LB_INSERTSTRING, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(WideText(text).c_str()));
}

void Win32BuilderView::DeleteItem(ControlId list, int index) { Send(list, LB_DELETESTRING, static_cast<WPARAM>(index)); }

// A list box cannot change an item's text: the item is replaced in place and
// keeps whether it was selected.
void Win32BuilderView::RenameItem(ControlId list, int index, const std::string& text) {
    if (index < 0 || index >= ItemCount(list)) return;
    const bool selected = Send(list, LB_GETSEL, static_cast<WPARAM>(index)) > 0;
    const bool multiple = (GetWindowLongW(Control(list), GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
    Send(list, LB_DELETESTRING, static_cast<WPARAM>(index));
    Send(list, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(WideText(text).c_str()));
    if (!selected) return;
    if (multiple)
        Send(list, LB_SETSEL, TRUE, static_cast<LPARAM>(index));
    else
        Send(list, LB_SETCURSEL, static_cast<WPARAM>(index));
}

void Win32BuilderView::ClearItems(ControlId list) { Send(list, LB_RESETCONTENT); }

int Win32BuilderView::CurrentSelection(ControlId list) const {
    const LRESULT selected = Send(list, LB_GETCURSEL);
    return selected == LB_ERR ? -1 : static_cast<int>(selected);
}

void Win32BuilderView::SetCurrentSelection(ControlId list, int index) {
    Send(list, LB_SETCURSEL, static_cast<WPARAM>(index));
}

bool Win32BuilderView::IsItemSelected(ControlId list, int index) const {
    return Send(list, LB_GETSEL, static_cast<WPARAM>(index)) > 0;
}

void Win32BuilderView::SetItemSelected(ControlId list, int index, bool selected) {
    Send(list, LB_SETSEL, selected ? TRUE : FALSE, static_cast<LPARAM>(index));
}
