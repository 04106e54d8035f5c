#include "tests/builder/window/builder_window_fixture.h"

#include "builder/builder_controls.h"

#include <commctrl.h>

#include "platform/program_frame/common_controls.h"
#include "platform/wide_text.h"
#include "tests/support/test_paths.h"

namespace {

// The test whose "Advanced" dialog is awaited, for the timers' procedures.
struct AdvancedWait {
    CDRUVTemplateBuilderDlg* dialog = nullptr;
    std::function<void(HWND)> act;
    bool opened = false;
    bool stuck = false;
    DWORD start = 0;
};
AdvancedWait* g_wait = nullptr;

constexpr DWORD kMostMillisecondsOpen = 10000;

void CALLBACK WhileAdvancedOpen(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!g_wait) {
        KillTimer(nullptr, timer);
        return;
    }
    HWND open = g_wait->dialog->AdvancedWindow();
    if (!g_wait->opened) {
        if (!open || !IsWindowVisible(open)) return;
        g_wait->opened = true;
        g_wait->act(open);
        return;
    }
    if (open && GetTickCount() - g_wait->start > kMostMillisecondsOpen) {
        g_wait->stuck = true;
        EndDialog(open, IDCANCEL);
    }
}

struct ToolTipSearch {
    HWND owner, tool;
    std::wstring text;
};

BOOL CALLBACK ReadToolTip(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<ToolTipSearch*>(parameter);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (lstrcmpiW(name, TOOLTIPS_CLASSW) != 0) return TRUE;
    wchar_t text[1024] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = search.owner;
    tool.uId = reinterpret_cast<UINT_PTR>(search.tool);
    tool.lpszText = text;
    SendMessageW(window, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
    if (text[0] == L'\0') return TRUE;
    search.text = text;
    return FALSE;
}

}  // namespace

std::string ExampleDefinition(const std::string& name) {
    std::string path = druvtest::ExamplesDir() + "/" + name;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

void BuilderWindowTest::SetUp() {
    dialogs_ = std::make_unique<ScopedFileDialogHandler>([this](const FileDialogRequest& request) {
        dialogRequests.push_back(request);
        return dialogAnswer;
    });
    InitialiseFrameControls();
    dialog = std::make_unique<CDRUVTemplateBuilderDlg>();
    ASSERT_TRUE(dialog->Create(GetModuleHandleW(nullptr)));
    dialog->Show();
    Pump();
}

void BuilderWindowTest::TearDown() {
    dialog.reset();
    dialogs_.reset();
}

void BuilderWindowTest::Click(int button) {
    SendMessageW(Control(button), BM_CLICK, 0, 0);
    Pump();
}

void BuilderWindowTest::ClickItem(int list, int index) {
    HWND box = Control(list);
    SendMessageW(box, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    RECT item{};
    ASSERT_NE(LB_ERR, SendMessageW(box, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
    const LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(box, WM_LBUTTONUP, 0, point);
    Pump();
}

void BuilderWindowTest::Type(int box, const std::string& text) {
    SetWindowTextW(Control(box), WideText(text).c_str());
    Pump();
}

void BuilderWindowTest::Press(HWND target, UINT key) {
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
    PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | (1u << 30) | (1u << 31)));
    Pump();
}

// Posted keys do not change the keyboard's state, which the accelerators
// read, so the modifiers are set in it while the key is handled.
void BuilderWindowTest::PressWithCtrl(HWND target, UINT key, bool shift) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    keys[VK_SHIFT] = keys[VK_LSHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    Press(target, key);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = keys[VK_SHIFT] = keys[VK_LSHIFT] = 0;
    SetKeyboardState(keys);
}

void BuilderWindowTest::Toolbar(int command) {
    HWND toolbar = Control(1);
    PostMessageW(Window(), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), reinterpret_cast<LPARAM>(toolbar));
    Pump();
}

std::string BuilderWindowTest::Text(int id) const {
    HWND control = Control(id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, &text[0], static_cast<int>(text.size()))));
    return Utf8Text(text);
}

std::vector<std::string> BuilderWindowTest::Items(int list) const {
    std::vector<std::string> texts;
    HWND box = Control(list);
    const LRESULT count = SendMessageW(box, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(SendMessageW(box, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(SendMessageW(box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]))));
        texts.push_back(Utf8Text(text));
    }
    return texts;
}

std::vector<int> BuilderWindowTest::SelectedItems(int list) const {
    std::vector<int> selected;
    HWND box = Control(list);
    const LRESULT count = SendMessageW(box, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        if (SendMessageW(box, LB_GETSEL, i, 0) > 0) selected.push_back(static_cast<int>(i));
    return selected;
}

void BuilderWindowTest::Choose(const std::string& path) {
    dialogAnswer.outcome = FileDialogOutcome::Chosen;
    dialogAnswer.paths = {path};
}

std::string BuilderWindowTest::ToolTipOf(int id) const {
    ToolTipSearch search{Window(), Control(id), {}};
    EnumThreadWindows(GetCurrentThreadId(), ReadToolTip, reinterpret_cast<LPARAM>(&search));
    return Utf8Text(search.text);
}

bool BuilderWindowTest::WithAdvancedDialog(std::function<void(HWND dialog)> act) {
    AdvancedWait wait{dialog.get(), std::move(act), false, false, GetTickCount()};
    g_wait = &wait;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, WhileAdvancedOpen);
    Click(builder_controls::kAdvanced);
    KillTimer(nullptr, timer);
    g_wait = nullptr;
    EXPECT_FALSE(wait.stuck) << "the dialog was still open after " << kMostMillisecondsOpen << " ms";
    EXPECT_EQ(nullptr, dialog->AdvancedWindow()) << "the dialog is closed";
    return wait.opened;
}
