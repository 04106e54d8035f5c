// The program frame in a window of its own, under Wine with a display: what a
// desktop program's main window gets from it, and its keyboard as the
// program's own message loop delivers it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <commoncontrols.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/program_frame/about_box.h"
#include "platform/program_frame/about_entry.h"
#include "platform/program_frame/frame_painting.h"
#include "platform/program_frame/frame_toolbar.h"
#include "platform/program_frame/message_filter.h"
#include "tests/platform/program_frame/frame_test_resources.h"
#include "tests/platform/program_frame/test_frame.h"

namespace {

HINSTANCE Module() { return GetModuleHandleW(nullptr); }

std::wstring ButtonText(HWND toolbar, int command) {
    wchar_t text[128] = {};
    SendMessageW(toolbar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring ToolTip(HWND toolbar, int command) {
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0));
    info.hdr.idFrom = static_cast<UINT_PTR>(command);
    info.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(toolbar, WM_NOTIFY, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(&info));
    return info.lpszText ? info.lpszText : L"";
}

RECT RectInParent(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return {0, 0};
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    // A monochrome icon's mask holds both halves one above the other.
    return {mask.bmWidth, info.hbmColor ? mask.bmHeight : mask.bmHeight / 2};
}

TEST(FrameToolbar, ShowsEachButtonWithItsOwnPictureAndLabel) {
    struct Case {
        const char* name;
        std::vector<FrameToolbarButton> buttons;
        std::vector<int> images;  // per button
        int imageCount;
        std::vector<std::wstring> labels;
    };
    const Case cases[] = {
        {"all icons there", TestButtons(), {0, 1, 2}, 3, {L"Add", L"Remove", L"Hilfe \u2013 \u00E4"}},
        {"one icon missing",
         {{kAddCommand, IDI_TEST_RED, "Add"}, {kRemoveCommand, IDI_TEST_MISSING, "Remove"},
          {kHelpCommand, IDI_TEST_BLUE, "Help"}},
         {0, I_IMAGENONE, 1},
         2,
         {L"Add", L"Remove", L"Help"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND owner = CreatePlainWindow();
        HWND toolbar = CreateFrameToolbar(owner, Module(), c.buttons);
        ASSERT_NE(nullptr, toolbar);
        EXPECT_EQ(kFrameToolbarId, GetDlgCtrlID(toolbar));
        const RECT place = RectInParent(toolbar);
        EXPECT_EQ((std::vector<LONG>{0, -3, 300, 28}),
                  (std::vector<LONG>{place.left, place.top, place.right, place.bottom}));

        auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
        ASSERT_NE(nullptr, images);
        EXPECT_EQ(c.imageCount, ImageList_GetImageCount(images));
        int width = 0;
        int height = 0;
        ImageList_GetIconSize(images, &width, &height);
        EXPECT_EQ((std::pair<int, int>{16, 16}), std::make_pair(width, height));

        ASSERT_EQ(static_cast<LRESULT>(c.buttons.size()), SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
        for (size_t i = 0; i < c.buttons.size(); ++i) {
            TBBUTTON button{};
            SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
            const int command = c.buttons[i].command;
            EXPECT_EQ(command, button.idCommand);
            EXPECT_EQ(c.images[i], button.iBitmap) << command;
            EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, command, 0)) << command;
            EXPECT_EQ(c.labels[i], ButtonText(toolbar, command));
            EXPECT_EQ(c.labels[i], ToolTip(toolbar, command));
        }
        DestroyWindow(owner);
    }
}

LRESULT CALLBACK AnswerTipsAsOwner(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (message == WM_NOTIFY && header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        lstrcpynW(info->szText, L"the owner's tip", 80);
        info->lpszText = info->szText;
        return 0;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// The editor page's look: hidden until its owner shows it, placed where the
// look says, its tips left to the owner, and a missing icon still leaves the
// buttons after it their own pictures.
TEST(IconToolbar, ALookOfItsOwnTakesPlaceVisibilityAndTipsFromTheLook) {
    HWND owner = CreatePlainWindow();
    ASSERT_TRUE(SetWindowSubclass(owner, &AnswerTipsAsOwner, 1, 0));
    const IconToolbarLook look{7, RECT{0, -3, 250, 25}, CCS_NODIVIDER, ILC_COLOR32, 0, false, false};
    const std::vector<FrameToolbarButton> buttons{{kAddCommand, IDI_TEST_RED, "Add"},
                                                  {kRemoveCommand, IDI_TEST_MISSING, "Remove"},
                                                  {kHelpCommand, IDI_TEST_BLUE, "Help"}};
    HWND toolbar = CreateIconToolbar(owner, Module(), look, buttons);
    ASSERT_NE(nullptr, toolbar);
    EXPECT_EQ(7, GetDlgCtrlID(toolbar));
    EXPECT_FALSE(GetWindowLongW(toolbar, GWL_STYLE) & WS_VISIBLE) << "shown by its owner once placed";
    const RECT place = RectInParent(toolbar);
    EXPECT_EQ((std::vector<LONG>{0, -3, 250, 25}),
              (std::vector<LONG>{place.left, place.top, place.right, place.bottom}));
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
    ASSERT_NE(nullptr, images);
    EXPECT_EQ(2, ImageList_GetImageCount(images));
    const std::vector<int> expectedImages{0, I_IMAGENONE, 1};
    for (size_t i = 0; i < buttons.size(); ++i) {
        TBBUTTON button{};
        SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(expectedImages[i], button.iBitmap) << buttons[i].label;
        EXPECT_EQ(L"the owner's tip", ToolTip(toolbar, buttons[i].command)) << buttons[i].label;
    }
    RemoveWindowSubclass(owner, &AnswerTipsAsOwner, 1);
    DestroyWindow(owner);
}

TEST(FrameToolbar, EnablesAndDisablesOnlyTheButtonOfTheCommand) {
    struct Step {
        int command;
        bool enable;
        bool found;
        std::vector<bool> enabledAfter;  // Add, Remove, Help
    };
    const Step steps[] = {
        {kRemoveCommand, false, true, {true, false, true}},
        {kHelpCommand, false, true, {true, false, false}},
        {kRemoveCommand, true, true, {true, true, false}},
        {4711, false, false, {true, true, false}},
    };
    HWND owner = CreatePlainWindow();
    HWND toolbar = CreateFrameToolbar(owner, Module(), TestButtons());
    ASSERT_NE(nullptr, toolbar);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.command);
        EXPECT_EQ(step.found, EnableFrameToolbarButton(toolbar, step.command, step.enable));
        std::vector<bool> enabled;
        for (int command : {kAddCommand, kRemoveCommand, kHelpCommand})
            enabled.push_back(SendMessageW(toolbar, TB_ISBUTTONENABLED, command, 0) != 0);
        EXPECT_EQ(step.enabledAfter, enabled);
    }
    DestroyWindow(owner);
}

TEST(FrameToolbar, DestroysItsImageListWithItself) {
    HWND owner = CreatePlainWindow();
    HWND toolbar = CreateFrameToolbar(owner, Module(), TestButtons());
    ASSERT_NE(nullptr, toolbar);
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
    // A reference of our own outlives the toolbar's; releasing it shows
    // whether the toolbar let go of the list.
    // (The import library lacks the function; comctl32 exports it.)
    using QueryFunction = HRESULT(WINAPI*)(HIMAGELIST, REFIID, void**);
    auto query = reinterpret_cast<QueryFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "HIMAGELIST_QueryInterface")));
    ASSERT_NE(nullptr, query);
    IUnknown* list = nullptr;
    ASSERT_EQ(S_OK, query(images, __uuidof(IImageList), reinterpret_cast<void**>(&list)));
    DestroyWindow(owner);
    EXPECT_EQ(0u, list->Release());
}

TEST(AboutEntry, IsAppendedToTheSystemMenuOnlyWithAText) {
    struct Case {
        UINT resource;
        bool appended;
    };
    const Case cases[] = {{IDS_TEST_ABOUT, true}, {IDS_TEST_EMPTY, false}, {IDS_TEST_MISSING, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.resource);
        HWND window = CreatePlainWindow();
        const int before = GetMenuItemCount(GetSystemMenu(window, FALSE));
        EXPECT_EQ(c.appended, AppendAboutEntry(window, Module(), c.resource));
        HMENU menu = GetSystemMenu(window, FALSE);
        const int count = GetMenuItemCount(menu);
        if (c.appended) {
            ASSERT_EQ(before + 2, count);
            EXPECT_TRUE(GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR);
            EXPECT_EQ(kAboutCommand, GetMenuItemID(menu, count - 1));
            wchar_t text[64] = {};
            GetMenuStringW(menu, kAboutCommand, text, 64, MF_BYCOMMAND);
            EXPECT_EQ(std::wstring(L"&About Frame Test..."), text);
        } else {
            EXPECT_EQ(before, count);
        }
        DestroyWindow(window);
    }
}

TEST(AboutEntry, IsRecognisedWhateverTheSystemPutsIntoTheLowFourBits) {
    struct Case {
        UINT message;
        WPARAM wParam;
        bool about;
    };
    const Case cases[] = {{WM_SYSCOMMAND, kAboutCommand, true},
                          {WM_SYSCOMMAND, kAboutCommand | 0x000F, true},
                          {WM_SYSCOMMAND, SC_CLOSE, false},
                          {WM_COMMAND, kAboutCommand, false}};
    for (const Case& c : cases)
        EXPECT_EQ(c.about, IsAboutCommand(c.message, c.wParam)) << c.message << " " << c.wParam;
}

TEST(FrameIcons, GiveTheWindowItsIconAtBothSizes) {
    TestFrame frame;
    ASSERT_NE(nullptr, frame.Window());
    const SIZE large = IconSize(reinterpret_cast<HICON>(SendMessageW(frame.Window(), WM_GETICON, ICON_BIG, 0)));
    const SIZE small = IconSize(reinterpret_cast<HICON>(SendMessageW(frame.Window(), WM_GETICON, ICON_SMALL, 0)));
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), large.cx);
    EXPECT_EQ(GetSystemMetrics(SM_CYICON), large.cy);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), small.cx);
    EXPECT_EQ(GetSystemMetrics(SM_CYSMICON), small.cy);
    EXPECT_EQ(reinterpret_cast<LRESULT>(frame.Icons().Large()), SendMessageW(frame.Window(), WM_QUERYDRAGICON, 0, 0));

    FrameIcons missing;
    EXPECT_FALSE(missing.Load(Module(), IDI_TEST_MISSING));
}

TEST(FrameKeyboard, AcceleratorsRunTheirCommandsAndOtherKeysReachTheFocusedControl) {
    struct Case {
        const char* name;
        FrameKeyboard keyboard;
        bool toOtherWindow;
        UINT key;
        bool control;
        std::vector<int> commands;
        bool frameLives;
        std::vector<WPARAM> listKeys;
    };
    const Case cases[] = {
        {"Ctrl+A", FrameKeyboard::AcceleratorsOnly, false, 'A', true, {kAddCommand}, true, {}},
        {"A alone", FrameKeyboard::AcceleratorsOnly, false, 'A', false, {}, true, {'A'}},
        {"Escape", FrameKeyboard::AcceleratorsOnly, false, VK_ESCAPE, false, {}, true, {VK_ESCAPE}},
        {"Enter", FrameKeyboard::AcceleratorsOnly, false, VK_RETURN, false, {}, true, {VK_RETURN}},
        {"Ctrl+A in another window", FrameKeyboard::AcceleratorsOnly, true, 'A', true, {}, true, {}},
        // What the dialog keyboard handling would do to a frame that does not ask for it.
        {"Ctrl+A, dialog keys", FrameKeyboard::DialogNavigation, false, 'A', true, {kAddCommand}, true, {}},
        {"Escape, dialog keys", FrameKeyboard::DialogNavigation, false, VK_ESCAPE, false, {IDCANCEL}, false, {}},
        {"Enter, dialog keys", FrameKeyboard::DialogNavigation, false, VK_RETURN, false, {IDOK}, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFrame frame(c.keyboard);
        ASSERT_NE(nullptr, frame.Window());
        HWND other = CreatePlainWindow();
        TypeKey(frame.Loop(), c.toOtherWindow ? other : frame.List(), c.key, c.control);
        EXPECT_EQ(c.commands, frame.Commands());
        EXPECT_EQ(c.frameLives, IsWindow(frame.Window()) != FALSE);
        EXPECT_EQ(c.listKeys, frame.ListKeys());
        DestroyWindow(other);
    }
}

TEST(FrameMessageLoop, RunsUntilTheFrameIsGoneOrTheProgramQuits) {
    struct Case {
        const char* name;
        bool quit;
        int result;
        bool frameLives;
    };
    const Case cases[] = {{"closed", false, 0, false}, {"quit", true, 7, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFrame frame;
        ASSERT_NE(nullptr, frame.Window());
        HoldControl(true);
        PostMessageW(frame.List(), WM_KEYDOWN, 'A', 1);
        if (c.quit)
            PostQuitMessage(7);
        else
            PostMessageW(frame.Window(), WM_CLOSE, 0, 0);
        EXPECT_EQ(c.result, frame.Loop().Run());
        HoldControl(false);
        EXPECT_EQ(c.frameLives, IsWindow(frame.Window()) != FALSE);
        EXPECT_EQ(kAddCommand, frame.Commands().empty() ? 0 : frame.Commands().front());
    }
}

// The About box as a person closes it, from a timer of the thread that shows it.
enum class CloseBy { OkButton, Escape, Enter };
CloseBy close_by;
std::wstring seen_caption;
std::wstring seen_text;
bool seen_images;
bool pictures_apart;  // side by side, inside the box
HWND seen_box;

void CALLBACK AnswerAboutBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = FindWindowW(L"#32770", kAboutCaption);
    if (!box || !IsWindowVisible(box)) return;
    KillTimer(nullptr, timer);
    seen_box = box;
    wchar_t text[128] = {};
    GetWindowTextW(box, text, 128);
    seen_caption = text;
    GetDlgItemTextW(box, kAboutBoxTextId, text, 128);
    seen_text = text;
    seen_images = SendDlgItemMessageW(box, kAboutBoxIconId, STM_GETICON, 0, 0) &&
                  SendDlgItemMessageW(box, kAboutBoxFirstPictureId, STM_GETIMAGE, IMAGE_BITMAP, 0) &&
                  SendDlgItemMessageW(box, kAboutBoxSecondPictureId, STM_GETIMAGE, IMAGE_BITMAP, 0);
    RECT first{};
    RECT second{};
    GetWindowRect(GetDlgItem(box, kAboutBoxFirstPictureId), &first);
    GetWindowRect(GetDlgItem(box, kAboutBoxSecondPictureId), &second);
    RECT overlap{};
    RECT client{};
    GetClientRect(box, &client);
    MapWindowPoints(box, nullptr, reinterpret_cast<POINT*>(&client), 2);
    pictures_apart = !IntersectRect(&overlap, &first, &second) && second.right <= client.right &&
                     first.bottom <= client.bottom && second.bottom <= client.bottom;
    HWND ok = GetDlgItem(box, IDOK);
    switch (close_by) {
    case CloseBy::OkButton:
        SendMessageW(ok, BM_CLICK, 0, 0);
        break;
    case CloseBy::Escape:
        PostMessageW(ok, WM_KEYDOWN, VK_ESCAPE, 1);
        break;
    case CloseBy::Enter:
        PostMessageW(ok, WM_KEYDOWN, VK_RETURN, 1);
        break;
    }
}

TEST(AboutBox, OpensFromTheSystemMenuWithItsTextsAndPicturesAndClosesAsADialog) {
    for (CloseBy how : {CloseBy::OkButton, CloseBy::Escape, CloseBy::Enter}) {
        SCOPED_TRACE(static_cast<int>(how));
        TestFrame frame;
        ASSERT_NE(nullptr, frame.Window());
        close_by = how;
        seen_box = nullptr;
        seen_images = pictures_apart = false;
        SetTimer(nullptr, 0, 30, &AnswerAboutBox);
        PostMessageW(frame.Window(), WM_SYSCOMMAND, kAboutCommand, 0);
        frame.Loop().PumpPending();  // returns once the box is closed
        EXPECT_EQ(1, frame.AboutBoxes());
        EXPECT_TRUE(frame.AboutBoxShown());
        ASSERT_NE(nullptr, seen_box);
        EXPECT_FALSE(IsWindow(seen_box));
        EXPECT_EQ(std::wstring(kAboutCaption), seen_caption);
        EXPECT_EQ(std::wstring(L"Frame Test Version 1.0.3 \u2013 \u00E4"), seen_text);
        EXPECT_TRUE(seen_images);
        EXPECT_TRUE(pictures_apart);
        EXPECT_TRUE(IsWindow(frame.Window()));
    }
}

// The client area as WM_PRINTCLIENT draws it, on white.
std::vector<COLORREF> PaintedPixels(HWND window, const std::vector<POINT>& points) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 400, 100);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    RECT all{0, 0, 400, 100};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    std::vector<COLORREF> colours;
    for (POINT point : points) colours.push_back(GetPixel(dc, point.x, point.y) & 0xFFFFFF);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return colours;
}

TEST(FramePainting, DrawsTheLineUnderTheToolbarOnlyWhileNotMinimised) {
    constexpr COLORREF kBlack = RGB(0, 0, 0);
    constexpr COLORREF kWhite = RGB(255, 255, 255);
    const std::vector<POINT> points{{5, 28}, {kRuleEnd - 1, 28}, {kRuleEnd + 1, 28}, {5, 27}, {5, 30}};
    struct Case {
        const char* name;
        bool minimised;
        std::vector<COLORREF> colours;
    };
    const Case cases[] = {
        {"open", false, {kBlack, kBlack, kWhite, kWhite, kWhite}},
        {"minimised", true, {kWhite, kWhite, kWhite, kWhite, kWhite}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFrame frame;
        ASSERT_NE(nullptr, frame.Window());
        if (c.minimised) ShowWindow(frame.Window(), SW_MINIMIZE);
        ASSERT_EQ(c.minimised, IsIconic(frame.Window()) != FALSE);
        EXPECT_EQ(c.colours, PaintedPixels(frame.Window(), points));
    }
}

TEST(MessageFilter, LetsDropsThroughWhereTheSystemFiltersAndSaysWhatHappened) {
    const bool systemFilters =
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx") != nullptr;
    HWND window = CreatePlainWindow();
    EXPECT_EQ(systemFilters ? MessageFilterResult::Allowed : MessageFilterResult::Unavailable,
              AllowDropsFromLowerRights(window));
    DestroyWindow(window);
    EXPECT_EQ(MessageFilterResult::Refused, AllowDropsFromLowerRights(window));
}

}  // namespace
