// The page window: its creation from the dialog template, the toolbar,
// painting, tool tips and the toolbar's commands.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "device/companion_files.h"
#include "device/druv_device.h"
#include "plugin/engine/transfer_engine.h"
#include "plugin/ui/about_box.h"
#include "plugin/ui/page_messages.h"
#include "plugin/ui/plugin_module.h"
#include "plugin/ui/prop_page.h"
#include "plugin/ui/resource_ids.h"
#include "plugin/ui/status_pictures.h"
#include "platform/file_system.h"
#include "platform/program_frame/frame_toolbar.h"
#include "platform/wide_text.h"

namespace {

constexpr UINT_PTR kDetectionTimer = 1;
constexpr UINT kDetectionPeriod = 20;  // milliseconds
constexpr int kToolbarTop = -3;
constexpr int kToolbarHeight = 28;
constexpr int kToolbarRightMargin = 68;
constexpr size_t kMaxTipLength = 79;

const FrameToolbarButton kAboutButton{ID_CMD_ABOUT, IDI_ABOUT, "About"};
const FrameToolbarButton kHelpButton{ID_CMD_HELP, IDI_HELP, "Help"};
const FrameToolbarButton kDeviceButton{ID_CMD_DEVICE_HELP, IDI_DEVICE, "Device"};
const FrameToolbarButton kStatusButton{ID_CMD_STATUS, IDI_STATUS, "Status"};

// The shell opens no path of MAX_PATH characters or more: such a path is
// handed over in its short form, where the volume keeps short names and that
// form fits.
std::wstring ShellPath(const std::wstring& path) {
    if (path.size() < MAX_PATH) return path;
    std::wstring extended = path;
    if (path.compare(0, 4, L"\\\\?\\") != 0)
        extended = path.compare(0, 2, L"\\\\") == 0 ? L"\\\\?\\UNC\\" + path.substr(2) : L"\\\\?\\" + path;
    const DWORD needed = GetShortPathNameW(extended.c_str(), nullptr, 0);
    if (needed == 0) return path;
    std::wstring shortPath(needed, L'\0');
    const DWORD length = GetShortPathNameW(extended.c_str(), &shortPath[0], needed);
    if (length == 0 || length >= needed) return path;
    shortPath.resize(length);
    if (shortPath.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        shortPath = L"\\\\" + shortPath.substr(8);
    else if (shortPath.compare(0, 4, L"\\\\?\\") == 0)
        shortPath = shortPath.substr(4);
    return shortPath.size() < MAX_PATH ? shortPath : path;
}

// The tip of a tool: the string resource numbered like the tool, cut.
std::wstring ToolTipText(UINT_PTR id) {
    wchar_t text[kMaxTipLength + 1] = {};
    const int length = LoadStringW(PluginModule(), static_cast<UINT>(id), text, kMaxTipLength + 1);
    return std::wstring(text, length > 0 ? static_cast<size_t>(length) : 0);
}

}  // namespace

INT_PTR CALLBACK CPropPage::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* page = reinterpret_cast<CPropPage*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        if (page) page->InitialiseWindow(window);
        return TRUE;
    }
    auto* page = reinterpret_cast<CPropPage*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!page) return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        return FALSE;
    }
    return page->HandleMessage(message, wParam, lParam);
}

INT_PTR CPropPage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        if (!GetUpdateRect(window_, nullptr, FALSE)) return FALSE;
        Paint();
        return TRUE;
    case WM_SIZE:
        LayOutToolbarRow(LOWORD(lParam));
        return TRUE;
    case WM_TIMER:
        if (wParam == kDetectionTimer) {
            FilterHandle::Use filter(filter_);
            if (filter) DetectionStep(*filter);
        }
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_VSCROLL:
        if (LOWORD(wParam) == SB_THUMBPOSITION || LOWORD(wParam) == SB_THUMBTRACK) {
            HWND spin = reinterpret_cast<HWND>(lParam);
            FilterHandle::Use filter(filter_);
            if (filter) OnSpin(*filter, spin, static_cast<int>(SendMessageA(spin, UDM_GETPOS32, 0, 0)));
        }
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam)) ? TRUE : FALSE;
    case WM_DESTROY:
        OnDestroy();
        return TRUE;
    case kPortsChangedMessage: {
        FilterHandle::Use filter(filter_);
        if (filter) FillPortLists(*filter);
        return TRUE;
    }
    case kDataReceivedMessage: {
        FilterHandle::Use filter(filter_);
        if (filter) FillDataList(*filter);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

void CPropPage::InitialiseWindow(HWND window) {
    window_ = window;
    post_target_.store(window, std::memory_order_release);
    AcquireStatusPictures();
    holds_pictures_ = true;
    FilterHandle::Use filter(filter_);
    if (!filter) return;
    const DRUVDevice& device = filter->EditedDevice();
    detection_available_ = HasDetectTemplate(device);
    CreateToolbar(device);
    SetUpSettings(*filter);
    FillPortLists(*filter);
    FillDataList(*filter);
    if (detection_available_ && FindDetectTemplate(device))
        SetTimer(window_, kDetectionTimer, kDetectionPeriod, nullptr);
}

void CPropPage::CreateToolbar(const DRUVDevice& device) {
    std::vector<FrameToolbarButton> buttons{kAboutButton, kHelpButton};
    // A help file that is not a document in the definition's folder is never
    // opened, so no button offers it.
    if (!HelpFilePath(device).empty()) buttons.push_back(kDeviceButton);
    if (detection_available_) buttons.push_back(kStatusButton);

    int width = 0;
    int height = 0;
    ClientSize(width, height);
    // Hidden until its buttons are in; the page answers the tips from its
    // string resources, and each page holds exactly its own buttons' pictures.
    const RECT area{0, kToolbarTop, width - kToolbarRightMargin, kToolbarTop + kToolbarHeight};
    const IconToolbarLook look{ID_TOOLBAR, area, CCS_NODIVIDER, ILC_COLOR32, 0, false, false};
    toolbar_ = CreateIconToolbar(window_, PluginModule(), look, buttons);
    if (!toolbar_) return;
    SetWindowPos(toolbar_, nullptr, 0, kToolbarTop, width - kToolbarRightMargin, kToolbarHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(toolbar_, SW_SHOW);
}

// A host sizes the page to the area it has, which need not be the template's
// size: the toolbar keeps its right margin free for the status picture at
// every width, and the row is painted anew, since the picture moves with the
// right edge.
void CPropPage::LayOutToolbarRow(int width) {
    if (toolbar_)
        SetWindowPos(toolbar_, nullptr, 0, kToolbarTop, std::max(0, width - kToolbarRightMargin), kToolbarHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateStatusBand();
}

// The band of the status picture, in the page's own coordinates.
void CPropPage::InvalidateStatusBand() {
    int width = 0;
    int height = 0;
    ClientSize(width, height);
    RECT band{std::min(240, std::max(0, width - 72)), 0, width, 20};
    RedrawWindow(window_, &band, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CPropPage::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    int width = 0;
    int height = 0;
    ClientSize(width, height);

    RECT inPort{};
    RECT deviceId{};
    GetWindowRect(GetDlgItem(window_, IDC_IN_PORT), &inPort);
    GetWindowRect(GetDlgItem(window_, IDC_DEVICE_ID), &deviceId);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&inPort), 2);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&deviceId), 2);

    HGDIOBJ previousPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    const int upper = inPort.top - 6;
    const int lower = deviceId.bottom + 6;
    MoveToEx(dc, 0, upper, nullptr);
    LineTo(dc, width, upper);
    MoveToEx(dc, 0, lower, nullptr);
    LineTo(dc, width, lower);
    SelectObject(dc, previousPen);

    if (detection_available_) DrawStatusPicture(dc, width - 72, 4, detection_.Online());
    EndPaint(window_, &paint);
}

void CPropPage::OnCommand(WORD id, WORD code, HWND) {
    // The About box and the shell run message loops of their own, for as long
    // as a person takes: what they need is taken from the filter first, so
    // that a filter released meanwhile is not held up.
    std::string aboutText;
    std::string document;
    {
        FilterHandle::Use filter(filter_);
        if (!filter) return;
        switch (id) {
        case IDC_DEVICE_ID:
        case IDC_CHANNEL:
        case IDC_DELAY:
            if (code == EN_CHANGE && !setting_up_) OnEditChange(*filter, id);
            return;
        case IDC_IN_PORT:
        case IDC_OUT_PORT:
            if (code == CBN_SELCHANGE) OnPortChange(*filter, id);
            return;
        default:
            break;
        }
        // Toolbar buttons (and their menu-less accelerators) send code 0.
        if (code != 0 && code != BN_CLICKED) return;
        const DRUVDevice& device = filter->EditedDevice();
        switch (id) {
        case ID_CMD_ABOUT:
            aboutText = AboutDeviceText(device.Company(), device.Product(), device.Version());
            break;
        case ID_CMD_HELP:
            document = ManualPath();
            break;
        case ID_CMD_DEVICE_HELP:
            document = HelpFilePath(device);
            break;
        case ID_CMD_STATUS:
            StartDetection(*filter);
            return;
        default:
            return;
        }
    }
    if (id == ID_CMD_ABOUT) {
        CDRUVAbout about(aboutText);
        about.ShowModal(window_);
    } else {
        OpenDocument(document);
    }
}

void CPropPage::OpenDocument(const std::string& path) {
    // Only a full path: a bare name would be looked for in whatever folder
    // the host happens to be in.
    if (path.empty()) return;
    const std::wstring file = ShellPath(WideText(path));
    const std::wstring folder = ShellPath(WideText(FolderOfPath(path)));
    ShellExecuteW(window_, L"open", file.c_str(), nullptr, folder.c_str(), SW_SHOWDEFAULT);
}

bool CPropPage::OnNotify(NMHDR* header) {
    if (!header) return false;
    if (header->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        UINT_PTR id = header->idFrom;
        if (info->uFlags & TTF_IDISHWND) id = static_cast<UINT_PTR>(GetDlgCtrlID(reinterpret_cast<HWND>(id)));
        const std::string tip = Utf8Text(ToolTipText(id).c_str());
        lstrcpynA(info->szText, tip.c_str(), sizeof info->szText);
        info->lpszText = info->szText;
        info->hinst = nullptr;
        return true;
    }
    if (header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        UINT_PTR id = header->idFrom;
        if (info->uFlags & TTF_IDISHWND) id = static_cast<UINT_PTR>(GetDlgCtrlID(reinterpret_cast<HWND>(id)));
        const std::wstring tip = ToolTipText(id);
        lstrcpynW(info->szText, tip.c_str(), sizeof info->szText / sizeof(WCHAR));
        info->lpszText = info->szText;
        info->hinst = nullptr;
        return true;
    }
    if (header->code == UDN_DELTAPOS) return false;  // the up-down moves itself
    return false;
}

void CPropPage::OnDestroy() {
    post_target_.store(nullptr, std::memory_order_release);
    KillTimer(window_, kDetectionTimer);
    if (holds_pictures_) ReleaseStatusPictures();
    holds_pictures_ = false;
    toolbar_ = nullptr;  // destroyed with its parent
    window_ = nullptr;
}

void CPropPage::ClientSize(int& width, int& height) const {
    RECT client{};
    GetClientRect(window_, &client);
    width = client.right - client.left;
    height = client.bottom - client.top;
}
