#include "platform/program_frame/about_box.h"

#include <algorithm>

#include "platform/program_frame/dialog_template.h"
#include "platform/wide_text.h"

namespace {

constexpr int kMargin = 7;  // dialog units around the pictures

// What the box shows, loaded before it opens and destroyed after it closed.
struct AboutBoxImages {
    HICON icon = nullptr;
    HBITMAP first = nullptr;
    HBITMAP second = nullptr;

    AboutBoxImages(HINSTANCE module, const AboutBoxContent& content) {
        icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(content.iconResource), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
        first = LoadPicture(module, content.firstPictureResource);
        second = LoadPicture(module, content.secondPictureResource);
    }
    ~AboutBoxImages() {
        if (icon) DestroyIcon(icon);
        if (first) DeleteObject(first);
        if (second) DeleteObject(second);
    }
    AboutBoxImages(const AboutBoxImages&) = delete;
    AboutBoxImages& operator=(const AboutBoxImages&) = delete;

    static HBITMAP LoadPicture(HINSTANCE module, int resource) {
        return static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, 0));
    }
};

DialogTemplate AboutBoxTemplate(const AboutBoxContent& content) {
    DialogTemplate box(DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, WideText(content.caption),
                       {0, 0, 235, 70}, 8, L"MS Shell Dlg");
    box.AddControl(DialogControlClass::Static, SS_ICON, {11, 14, 21, 20}, kAboutBoxIconId, L"");
    box.AddControl(DialogControlClass::Static, SS_LEFT | SS_NOPREFIX, {40, 10, 130, 8}, kAboutBoxTextId,
                   WideText(content.text));
    box.AddControl(DialogControlClass::Static, SS_BITMAP, {40, 24, 60, 40}, kAboutBoxFirstPictureId, L"");
    box.AddControl(DialogControlClass::Static, SS_BITMAP, {110, 24, 60, 40}, kAboutBoxSecondPictureId, L"");
    box.AddControl(DialogControlClass::Button, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, {178, 7, 50, 14}, IDOK,
                   L"OK");
    return box;
}

RECT ControlRect(HWND box, int id) {
    RECT rect{};
    HWND control = GetDlgItem(box, id);
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A picture control takes its bitmap's size; the second one goes right of the
// first, and the box grows to hold both whatever their size.
void ArrangePictures(HWND box) {
    RECT margin{0, 0, kMargin, kMargin};
    MapDialogRect(box, &margin);
    const RECT first = ControlRect(box, kAboutBoxFirstPictureId);
    SetWindowPos(GetDlgItem(box, kAboutBoxSecondPictureId), nullptr, first.right + margin.right, first.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT second = ControlRect(box, kAboutBoxSecondPictureId);
    const RECT ok = ControlRect(box, IDOK);

    RECT client{};
    GetClientRect(box, &client);
    const LONG width = std::max<LONG>(client.right, std::max(second.right, ok.right) + margin.right);
    const LONG height = std::max<LONG>(client.bottom, std::max(first.bottom, second.bottom) + margin.bottom);
    if (width == client.right && height == client.bottom) return;
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(box, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(box, GWL_EXSTYLE)));
    SetWindowPos(box, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK AboutBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const auto* images = reinterpret_cast<const AboutBoxImages*>(lParam);
        SendDlgItemMessageW(box, kAboutBoxIconId, STM_SETICON, reinterpret_cast<WPARAM>(images->icon), 0);
        SendDlgItemMessageW(box, kAboutBoxFirstPictureId, STM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(images->first));
        SendDlgItemMessageW(box, kAboutBoxSecondPictureId, STM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(images->second));
        ArrangePictures(box);
        return TRUE;
    }
    case WM_COMMAND:
        // Enter and Escape arrive as IDOK and IDCANCEL, the close button as IDCANCEL.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(box, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

bool ShowAboutBox(HWND owner, HINSTANCE module, const AboutBoxContent& content) {
    const AboutBoxImages images(module, content);
    const DialogTemplate box = AboutBoxTemplate(content);
    // Only OK and Cancel end the box; 0 and -1 are the system's failures.
    const INT_PTR result =
        DialogBoxIndirectParamW(module, box.Data(), owner, &AboutBoxProc, reinterpret_cast<LPARAM>(&images));
    return result == IDOK || result == IDCANCEL;
}
