#include "tests/platform/program_frame/test_frame.h"

#include <commctrl.h>

#include "platform/program_frame/about_box.h"
#include "platform/program_frame/dialog_object.h"
#include "platform/program_frame/dialog_template.h"
#include "platform/program_frame/frame_painting.h"
#include "tests/platform/program_frame/frame_test_resources.h"

const wchar_t kAboutCaption[] = L"About Frame Test";
const char kAboutText[] = "Frame Test Version 1.0.3 \xE2\x80\x93 \xC3\xA4";

namespace {

HINSTANCE Module() { return GetModuleHandleW(nullptr); }

DialogTemplate FrameTemplate() {
    DialogTemplate frame(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, L"Frame Test", {0, 0, 213, 234}, 8,
                         L"MS Shell Dlg");
    frame.AddControl(DialogControlClass::Static, SS_CENTER, {5, 22, 206, 8}, static_cast<WORD>(-1),
                     L"Registered Instruments");
    frame.AddControl(DialogControlClass::ListBox,
                     LBS_NOTIFY | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP,
                     {3, 34, 206, 197}, kListId, L"");
    return frame;
}

}  // namespace

std::vector<FrameToolbarButton> TestButtons() {
    return {{kAddCommand, IDI_TEST_RED, "Add"},
            {kRemoveCommand, IDI_TEST_GREEN, "Remove"},
            {kHelpCommand, IDI_TEST_BLUE, "Hilfe \xE2\x80\x93 \xC3\xA4"}};
}

TestFrame::TestFrame(FrameKeyboard keyboard) : loop_(nullptr) {
    ACCEL add{FCONTROL | FVIRTKEY, 'A', kAddCommand};
    accelerators_ = CreateAcceleratorTableW(&add, 1);
    const DialogTemplate frame = FrameTemplate();
    window_ = CreateDialogIndirectParamW(Module(), frame.Data(), nullptr, &TestFrame::Proc,
                                         reinterpret_cast<LPARAM>(this));
    loop_ = FrameMessageLoop(window_, accelerators_, keyboard);
    if (!window_) return;
    SetWindowSubclass(List(), &TestFrame::ListProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

TestFrame::~TestFrame() {
    if (IsWindow(window_)) DestroyWindow(window_);
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
}

INT_PTR CALLBACK TestFrame::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ForwardToDialogObject(window, message, wParam, lParam, &TestFrame::window_, &TestFrame::Handle);
}

INT_PTR TestFrame::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto showAbout = [this] {
        ++about_boxes_;
        about_shown_ = ShowAboutBox(window_, Module(),
                                    {"About Frame Test", IDI_TEST_PROGRAM, kAboutText, IDB_TEST_FIRST, IDB_TEST_SECOND});
    };
    if (const auto answer = frame_.Answer(message, wParam, showAbout)) return *answer;
    switch (message) {
    case WM_INITDIALOG:
        frame_.SetUp(window_, Module(), {IDS_TEST_ABOUT, IDI_TEST_PROGRAM, TestButtons(), kRuleEnd});
        return TRUE;
    case WM_COMMAND:
        // A dialog-based program ends on Cancel and OK, as the system's dialog
        // keyboard handling sends them for Escape and Enter.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            commands_.push_back(LOWORD(wParam));
            DestroyWindow(window_);
            return TRUE;
        }
        if (lParam == 0 || reinterpret_cast<HWND>(lParam) == Toolbar()) commands_.push_back(LOWORD(wParam));
        return TRUE;
    case WM_PRINTCLIENT:
        PaintFrame(window_, reinterpret_cast<HDC>(wParam), kRuleEnd, frame_.Icons().Large());
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT CALLBACK TestFrame::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data) {
    if (message == WM_KEYDOWN) reinterpret_cast<TestFrame*>(data)->list_keys_.push_back(wParam);
    if (message == WM_NCDESTROY) RemoveWindowSubclass(list, &TestFrame::ListProc, id);
    return DefSubclassProc(list, message, wParam, lParam);
}

void HoldControl(bool held) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = held ? 0x80 : 0;
    SetKeyboardState(keys);
}

void TypeKey(FrameMessageLoop& loop, HWND target, UINT key, bool control) {
    HoldControl(control);
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
    PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | (1u << 30) | (1u << 31)));
    loop.PumpPending();
    HoldControl(false);
}

HWND CreatePlainWindow() {
    return CreateWindowExW(0, L"STATIC", L"Plain", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 400, 200, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}
