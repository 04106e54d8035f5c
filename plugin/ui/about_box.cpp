#include "plugin/ui/about_box.h"

#include "plugin/ui/plugin_module.h"
#include "plugin/ui/resource_ids.h"
#include "platform/wide_text.h"

std::string AboutDeviceText(const std::string& company, const std::string& product, const std::string& version) {
    return company + " " + product + " Template v" + version;
}

void CDRUVAbout::ShowModal(HWND owner) {
    DialogBoxParamW(PluginModule(), MAKEINTRESOURCEW(IDD_DRUV_ABOUT), owner, &CDRUVAbout::DialogProc,
                    reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CDRUVAbout::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const auto* box = reinterpret_cast<const CDRUVAbout*>(lParam);
        if (box) SetDlgItemTextW(window, IDC_ABOUT_TEXT, WideText(box->device_text_).c_str());
        // Every press, inside the box or not, comes here while it is open.
        SetCapture(window);
        return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
        ReleaseCapture();
        EndDialog(window, IDOK);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
            ReleaseCapture();
            EndDialog(window, IDOK);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
