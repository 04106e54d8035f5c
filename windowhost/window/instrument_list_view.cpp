#include "windowhost/window/instrument_list_view.h"

#include "platform/wide_text.h"

namespace windowhost {

namespace {

constexpr int kLightSize = 16;

// A 16 x 16 picture of a round light in `colour` on white, its mask making
// the corners transparent.
void AddLight(HIMAGELIST images, COLORREF colour) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, kLightSize, kLightSize);
    HBITMAP mask = CreateBitmap(kLightSize, kLightSize, 1, 1, nullptr);
    ReleaseDC(nullptr, screen);

    HGDIOBJ old = SelectObject(dc, mask);
    PatBlt(dc, 0, 0, kLightSize, kLightSize, WHITENESS);
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    Ellipse(dc, 2, 2, kLightSize - 2, kLightSize - 2);

    SelectObject(dc, picture);
    PatBlt(dc, 0, 0, kLightSize, kLightSize, BLACKNESS);
    HBRUSH brush = CreateSolidBrush(colour);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(GetRValue(colour) / 2, GetGValue(colour) / 2, GetBValue(colour) / 2));
    SelectObject(dc, brush);
    SelectObject(dc, pen);
    Ellipse(dc, 2, 2, kLightSize - 2, kLightSize - 2);
    SelectObject(dc, old);
    DeleteObject(brush);
    DeleteObject(pen);
    DeleteDC(dc);
    ImageList_Add(images, picture, mask);
    DeleteObject(picture);
    DeleteObject(mask);
}

}  // namespace

void InstrumentListView::Attach(HWND list) {
    list_ = list;
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
    RECT area{};
    GetClientRect(list_, &area);
    const int width = area.right - area.left - GetSystemMetrics(SM_CXVSCROLL);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = width * 3 / 5;
    column.pszText = const_cast<LPWSTR>(L"Instrument");
    SendMessageW(list_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    column.cx = width - column.cx;
    column.pszText = const_cast<LPWSTR>(L"Last received");
    SendMessageW(list_, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));

    lights_ = ImageList_Create(kLightSize, kLightSize, ILC_COLOR24 | ILC_MASK, 4, 0);
    AddLight(lights_, RGB(170, 170, 170));  // not asked yet
    AddLight(lights_, RGB(40, 200, 60));    // online
    AddLight(lights_, RGB(220, 40, 30));    // offline
    AddLight(lights_, RGB(90, 90, 90));     // cannot be asked
    ListView_SetImageList(list_, lights_, LVSIL_SMALL);
}

void InstrumentListView::Clear() { ListView_DeleteAllItems(list_); }

void InstrumentListView::Add(const std::string& name, OnlineLight light, const std::string& received) {
    const std::wstring text = WideText(name);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = ListView_GetItemCount(list_);
    item.pszText = const_cast<LPWSTR>(text.c_str());
    item.iImage = static_cast<int>(light);
    const int row = static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    SetReceived(row, received);
}

void InstrumentListView::SetLight(int row, OnlineLight light) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = static_cast<int>(light);
    SendMessageW(list_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void InstrumentListView::SetReceived(int row, const std::string& received) {
    const std::wstring text = WideText(received);
    LVITEMW item{};
    item.iSubItem = 1;
    item.pszText = const_cast<LPWSTR>(text.c_str());
    SendMessageW(list_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

int InstrumentListView::Selected() const { return ListView_GetNextItem(list_, -1, LVNI_SELECTED); }

void InstrumentListView::Select(int row) {
    ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list_, row, FALSE);
}

OnlineLight InstrumentListView::Light(int row) const {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return static_cast<OnlineLight>(item.iImage);
}

}  // namespace windowhost
