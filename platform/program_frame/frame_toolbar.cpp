#include "platform/program_frame/frame_toolbar.h"

#include <commctrl.h>

#include <cstring>
#include <map>

#include "platform/program_frame/common_controls.h"
#include "platform/wide_text.h"

namespace {

constexpr UINT_PTR kToolbarSubclassId = 1;

// What the toolbar keeps for its life: the pictures, which a toolbar does not
// destroy by itself, and the labels the tool tips show.
struct ToolbarState {
    HIMAGELIST images = nullptr;
    std::map<UINT_PTR, std::wstring> tips;  // empty when the owner answers them
};

bool AnswerToolTip(const ToolbarState& state, NMHDR* header) {
    if (header->code != TTN_GETDISPINFOW) return false;
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    if (info->uFlags & TTF_IDISHWND) return false;
    const auto tip = state.tips.find(header->idFrom);
    if (tip == state.tips.end()) return false;
    lstrcpynW(info->szText, tip->second.c_str(), static_cast<int>(sizeof info->szText / sizeof(WCHAR)));
    info->lpszText = info->szText;
    info->hinst = nullptr;
    return true;
}

LRESULT CALLBACK ToolbarProc(HWND toolbar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                             DWORD_PTR data) {
    auto* state = reinterpret_cast<ToolbarState*>(data);
    switch (message) {
    case WM_NOTIFY:
        // The toolbar's own tool tip control asks the toolbar for its texts.
        if (AnswerToolTip(*state, reinterpret_cast<NMHDR*>(lParam))) return 0;
        break;
    case WM_NCDESTROY:
        // The toolbar has let go of its data, the picture list among it, at WM_DESTROY.
        RemoveWindowSubclass(toolbar, &ToolbarProc, id);
        if (state->images) ImageList_Destroy(state->images);
        delete state;
        return DefSubclassProc(toolbar, message, wParam, lParam);
    default:
        break;
    }
    return DefSubclassProc(toolbar, message, wParam, lParam);
}

HIMAGELIST LoadButtonImages(HINSTANCE module, const IconToolbarLook& look,
                            const std::vector<FrameToolbarButton>& buttons, std::vector<int>& imageOfButton) {
    HIMAGELIST images = ImageList_Create(kFrameToolbarIconSize, kFrameToolbarIconSize, look.imageColours | ILC_MASK,
                                         static_cast<int>(buttons.size()), 0);
    for (const FrameToolbarButton& button : buttons) {
        int image = I_IMAGENONE;
        HICON icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(button.iconResource), IMAGE_ICON,
                                                   kFrameToolbarIconSize, kFrameToolbarIconSize,
                                                   look.iconLoadFlags));
        if (images && icon) image = ImageList_AddIcon(images, icon);
        if (icon) DestroyIcon(icon);
        imageOfButton.push_back(image < 0 ? I_IMAGENONE : image);
    }
    return images;
}

}  // namespace

HWND CreateIconToolbar(HWND owner, HINSTANCE module, const IconToolbarLook& look,
                       const std::vector<FrameToolbarButton>& buttons) {
    InitialiseFrameControls();
    const RECT area = look.area;
    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                   WS_CHILD | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS | CCS_NOPARENTALIGN |
                                       CCS_NORESIZE | look.styles,
                                   area.left, area.top, area.right - area.left, area.bottom - area.top, owner,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(look.id)), module, nullptr);
    if (!toolbar) return nullptr;

    auto* state = new ToolbarState;
    std::vector<int> imageOfButton;
    state->images = LoadButtonImages(module, look, buttons, imageOfButton);
    if (!SetWindowSubclass(toolbar, &ToolbarProc, kToolbarSubclassId, reinterpret_cast<DWORD_PTR>(state))) {
        if (state->images) ImageList_Destroy(state->images);
        delete state;
        DestroyWindow(toolbar);
        return nullptr;
    }

    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    if (look.mixedButtons) SendMessageW(toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(state->images));

    std::vector<std::wstring> labels;
    labels.reserve(buttons.size());
    for (const FrameToolbarButton& button : buttons) labels.push_back(WideText(button.label));
    std::vector<TBBUTTON> records(buttons.size());
    for (size_t i = 0; i < buttons.size(); ++i) {
        TBBUTTON& record = records[i];
        std::memset(&record, 0, sizeof record);
        record.iBitmap = imageOfButton[i];
        record.idCommand = buttons[i].command;
        record.fsState = TBSTATE_ENABLED;
        record.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | (look.mixedButtons ? BTNS_SHOWTEXT : 0);
        record.iString = reinterpret_cast<INT_PTR>(labels[i].c_str());
        if (look.tipsFromLabels) state->tips[static_cast<UINT_PTR>(buttons[i].command)] = labels[i];
    }
    SendMessageW(toolbar, TB_ADDBUTTONSW, records.size(), reinterpret_cast<LPARAM>(records.data()));
    return toolbar;
}

HWND CreateFrameToolbar(HWND owner, HINSTANCE module, const std::vector<FrameToolbarButton>& buttons) {
    return CreateIconToolbar(owner, module, kFrameToolbarLook, buttons);
}

bool EnableFrameToolbarButton(HWND toolbar, int command, bool enabled) {
    if (SendMessageW(toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(command), 0) < 0) return false;
    return SendMessageW(toolbar, TB_ENABLEBUTTON, static_cast<WPARAM>(command), MAKELPARAM(enabled ? TRUE : FALSE, 0)) !=
           0;
}
