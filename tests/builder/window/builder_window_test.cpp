// The builder's window under Wine: its controls as the resources build them,
// its keys, and its commands reaching the device through real notifications.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <iterator>
#include <string>
#include <vector>

#include "builder/builder_controls.h"
#include "device/byte_string.h"
#include "platform/program_frame/about_box.h"
#include "platform/program_frame/about_entry.h"
#include "platform/wide_text.h"
#include "tests/builder/window/builder_window_fixture.h"

namespace {

namespace ids = builder_controls;

enum class Kind { OneLine, ReadOnly, ByteBox, DropDown, OneSelection, Toggles, Button, Check };

struct Expected {
    int id;
    Kind kind;
    const char* label;  // the control's own text, or the label just before it; null: none
    short x, y, cx, cy;
};

// Every control, in tab order.
const Expected kControls[] = {
    {1003, Kind::OneLine, "Company", 46, 30, 71, 14},
    {1004, Kind::OneLine, "Device", 153, 30, 76, 14},
    {1005, Kind::OneLine, "Author", 45, 48, 109, 14},
    {1006, Kind::OneLine, "Version", 191, 47, 38, 14},
    {1011, Kind::OneLine, "PDF Help File", 61, 66, 169, 14},
    {1012, Kind::OneLine, "Active Device PNG file", 95, 83, 136, 14},
    {1013, Kind::OneLine, "Inactive Device PNG file", 95, 99, 136, 14},
    {1051, Kind::DropDown, "Device Type", 163, 115, 68, 67},
    {1014, Kind::OneSelection, "Configurations", 9, 144, 104, 70},
    {1024, Kind::OneLine, nullptr, 9, 219, 104, 14},
    {1015, Kind::Button, "Add", 7, 238, 20, 14},
    {1016, Kind::Button, "Rem", 29, 238, 20, 14},
    {1045, Kind::Button, "Ed", 51, 238, 20, 14},
    {1017, Kind::Button, "Up", 74, 238, 20, 14},
    {1018, Kind::Button, "Dn", 96, 238, 20, 14},
    {1044, Kind::Toggles, "Configuration Templates", 9, 267, 104, 118},
    {1023, Kind::OneSelection, "Templates", 127, 143, 105, 204},
    {1025, Kind::OneLine, nullptr, 127, 352, 105, 14},
    {1019, Kind::Button, "Add", 125, 371, 20, 14},
    {1020, Kind::Button, "Rem", 147, 371, 20, 14},
    {1046, Kind::Button, "Ed", 169, 371, 20, 14},
    {1021, Kind::Button, "Up", 191, 371, 20, 14},
    {1022, Kind::Button, "Dn", 214, 371, 20, 14},
    {1007, Kind::OneLine, "Min", 266, 30, 20, 14},
    {1008, Kind::OneLine, "Max", 312, 30, 20, 14},
    {1026, Kind::OneLine, "Ofs", 357, 30, 20, 14},
    {1009, Kind::OneLine, "Display Offset", 299, 48, 20, 14},
    {1010, Kind::OneLine, "Default", 357, 48, 20, 14},
    {1030, Kind::OneLine, "Size", 270, 85, 37, 14},
    {1050, Kind::Check, "Fixed &Length", 316, 79, 61, 10},
    {1052, Kind::Check, "Multiple SysX / Loop", 316, 90, 83, 10},
    {1035, Kind::Check, "&Receive All MIDI Messages", 402, 79, 100, 10},
    {1053, Kind::DropDown, "Loop Store", 441, 90, 61, 67},
    {1060, Kind::Button, "Advanced...", 441, 107, 61, 14},
    {1037, Kind::OneLine, "Between Msgs", 307, 140, 29, 14},
    {1038, Kind::OneLine, "Every nth Byte", 307, 157, 29, 14},
    {1039, Kind::OneLine, "Delay Amount", 307, 174, 29, 14},
    {1040, Kind::OneLine, "Recv Size", 385, 140, 29, 14},
    {1041, Kind::OneLine, "# Loops", 385, 157, 29, 14},
    {1042, Kind::OneLine, "Start Val", 385, 174, 29, 14},
    {1043, Kind::OneLine, "Inc/Dec", 385, 192, 29, 14},
    // Wider than the other drop-downs, so that every kind's name shows whole.
    {1036, Kind::DropDown, "Type", 433, 140, 69, 100},
    {1032, Kind::OneLine, "Start", 472, 157, 29, 14},
    {1033, Kind::OneLine, "# of Bytes", 472, 174, 29, 14},
    {1034, Kind::OneLine, "Storage Ofs", 472, 192, 29, 14},
    {1029, Kind::ByteBox, "Pre Request Loop", 251, 235, 117, 23},
    {1027, Kind::ByteBox, "Request Loop  (Pre Recv Message)", 251, 272, 117, 31},
    {1031, Kind::ByteBox, "Post Request Loop", 251, 318, 117, 23},
    {1047, Kind::ByteBox, "Pre Transmit Loop", 380, 235, 117, 23},
    {1048, Kind::ByteBox, "Transmit Loop  (Post Xmit Messge)", 380, 272, 117, 31},
    {1049, Kind::ByteBox, "Post Transmit Loop", 380, 318, 117, 23},
    {1028, Kind::Check, "Requires MIDI Channel", 400, 57, 89, 10},
    {1054, Kind::ReadOnly, "Current Device", 389, 37, 118, 14},
    {1055, Kind::Check, "Use with Detect", 316, 112, 83, 10},
    {1056, Kind::Check, "Can Timeout", 316, 101, 83, 10},
    {1057, Kind::ByteBox, "Terminator", 251, 356, 117, 23},
    {1058, Kind::Check, "Store Terminator Message", 379, 364, 119, 10},
};

struct ClassAndStyle {
    const wchar_t* className;
    DWORD mask;
    DWORD style;
};

ClassAndStyle StyleOf(Kind kind) {
    const DWORD edit = ES_MULTILINE | ES_WANTRETURN | ES_AUTOHSCROLL | ES_READONLY | WS_VSCROLL | WS_TABSTOP;
    const DWORD list = LBS_NOTIFY | LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL | WS_TABSTOP;
    switch (kind) {
    case Kind::OneLine: return {L"Edit", edit, ES_AUTOHSCROLL | WS_TABSTOP};
    case Kind::ReadOnly: return {L"Edit", edit, ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP};
    // No sideways scrolling: the text wraps.
    case Kind::ByteBox: return {L"Edit", edit, ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP};
    case Kind::DropDown: return {L"ComboBox", 0x3 | CBS_SORT | WS_TABSTOP, CBS_DROPDOWNLIST | WS_TABSTOP};
    case Kind::OneSelection: return {L"ListBox", list, LBS_NOTIFY | WS_TABSTOP};
    case Kind::Toggles: return {L"ListBox", list, LBS_NOTIFY | LBS_MULTIPLESEL | WS_TABSTOP};
    case Kind::Button: return {L"Button", BS_TYPEMASK | WS_TABSTOP, BS_PUSHBUTTON | WS_TABSTOP};
    case Kind::Check: return {L"Button", BS_TYPEMASK | WS_TABSTOP, BS_AUTOCHECKBOX | WS_TABSTOP};
    }
    return {};
}

std::string WindowLabel(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return Utf8Text(text);
}

std::string Label(HWND control, Kind kind) {
    if (kind == Kind::Button || kind == Kind::Check) return WindowLabel(control);
    return WindowLabel(GetWindow(control, GW_HWNDPREV));
}

// What the About box showed, read while it is open and then closed with OK.
struct AboutSeen {
    std::string caption, text;
    bool icon = false, firstPicture = false, secondPicture = false;
    int boxes = 0;
};
AboutSeen* g_about = nullptr;

BOOL CALLBACK ReadAndCloseAbout(HWND window, LPARAM) {
    if (!IsWindowVisible(window) || !GetDlgItem(window, kAboutBoxTextId)) return TRUE;
    ++g_about->boxes;
    g_about->caption = WindowLabel(window);
    g_about->text = WindowLabel(GetDlgItem(window, kAboutBoxTextId));
    g_about->icon = SendDlgItemMessageW(window, kAboutBoxIconId, STM_GETICON, 0, 0) != 0;
    g_about->firstPicture = SendDlgItemMessageW(window, kAboutBoxFirstPictureId, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0;
    g_about->secondPicture = SendDlgItemMessageW(window, kAboutBoxSecondPictureId, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0;
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK WhileAboutIsOpen(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    EnumThreadWindows(GetCurrentThreadId(), ReadAndCloseAbout, 0);
}

std::vector<std::string> DropDownEntries(HWND dropDown) {
    std::vector<std::string> entries;
    const LRESULT count = SendMessageW(dropDown, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(SendMessageW(dropDown, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(SendMessageW(dropDown, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]))));
        entries.push_back(Utf8Text(text));
    }
    return entries;
}

}  // namespace

TEST_F(BuilderWindowTest, EveryControlHasItsClassStylesLabelAndPlace) {
    for (const Expected& expected : kControls) {
        SCOPED_TRACE(expected.id);
        HWND control = Control(expected.id);
        ASSERT_NE(nullptr, control);
        const ClassAndStyle want = StyleOf(expected.kind);
        wchar_t className[32] = {};
        GetClassNameW(control, className, 32);
        EXPECT_EQ(0, lstrcmpiW(want.className, className)) << Utf8Text(className);
        EXPECT_EQ(want.style, static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE)) & want.mask);
        if (expected.label) {
            EXPECT_EQ(expected.label, Label(control, expected.kind));
        }

        // The dialog manager converts the origin and the size each by itself.
        RECT place{expected.x, expected.y, expected.cx, expected.cy};
        MapDialogRect(Window(), &place);
        place.right += place.left;
        place.bottom += place.top;
        RECT actual{};
        GetWindowRect(control, &actual);
        MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(place.left, actual.left);
        EXPECT_EQ(place.top, actual.top);
        EXPECT_EQ(place.right, actual.right);
        // A drop-down's window is its closed box; the height given is that of its open list.
        if (expected.kind != Kind::DropDown) {
            EXPECT_EQ(place.bottom, actual.bottom);
        }

        const auto limit = static_cast<DWORD>(SendMessageW(control, EM_GETLIMITTEXT, 0, 0));
        const bool oneLine = expected.kind == Kind::OneLine || expected.kind == Kind::ReadOnly;
        if (oneLine) {
            EXPECT_EQ(255u, limit);
        } else if (expected.kind == Kind::ByteBox) {
            EXPECT_GT(limit, 1000000u);
        }
    }
}

TEST_F(BuilderWindowTest, TheWindowIsFixedInSizeAndHasItsCaptionIconAndAboutEntry) {
    const DWORD style = static_cast<DWORD>(GetWindowLongW(Window(), GWL_STYLE));
    EXPECT_EQ(DWORD(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
              style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(GetWindowLongW(Window(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ("DRUV Template Builder", WindowLabel(Window()));
    EXPECT_NE(0, SendMessageW(Window(), WM_GETICON, ICON_BIG, 0));
    EXPECT_NE(0, SendMessageW(Window(), WM_GETICON, ICON_SMALL, 0));
    // Minimised, the window is dragged by its own icon.
    EXPECT_EQ(SendMessageW(Window(), WM_GETICON, ICON_BIG, 0), SendMessageW(Window(), WM_QUERYDRAGICON, 0, 0));

    HMENU menu = GetSystemMenu(Window(), FALSE);
    const int last = GetMenuItemCount(menu) - 1;
    EXPECT_EQ(kAboutCommand, GetMenuItemID(menu, last));
    wchar_t entry[64] = {};
    GetMenuStringW(menu, last, entry, 64, MF_BYPOSITION);
    EXPECT_EQ(L"&About DRUV Template Builder...", std::wstring(entry));

    HWND toolbar = Control(1);
    ASSERT_NE(nullptr, toolbar);
    EXPECT_EQ(3, SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int command : {1000, 1001, 1002}) EXPECT_NE(0, SendMessageW(toolbar, TB_ISBUTTONENABLED, command, 0));
}

TEST_F(BuilderWindowTest, TheSystemMenusAboutEntryShowsTheAboutBox) {
    AboutSeen seen;
    g_about = &seen;
    SetTimer(nullptr, 0, 200, WhileAboutIsOpen);
    Post(WM_SYSCOMMAND, kAboutCommand);
    g_about = nullptr;
    EXPECT_EQ(1, seen.boxes);
    EXPECT_EQ("About DRUV Template Builder", seen.caption);
    EXPECT_EQ("DRUV Template Builder Version 1.0.3", seen.text);
    EXPECT_TRUE(seen.icon);
    EXPECT_TRUE(seen.firstPicture);
    EXPECT_TRUE(seen.secondPicture);
    EXPECT_TRUE(IsWindow(Window()));
}

TEST_F(BuilderWindowTest, DropDownsHoldTheirFixedEntriesAndTheEditorsStartUnselected) {
    const struct {
        int id;
        std::vector<std::string> entries;
        int selected;
    } cases[] = {
        {ids::kDeviceType, {"Mixer", "Synth", "Effect"}, 0},
        {ids::kLoopValFormat, {"14-bit L/H", "14-bit H/L", "nybble L/H", "nybble H/L"}, -1},
        {ids::kCSumType,
         {"None", "2s Complement", "Sum", "1s Complement", "Sum + Constant", "Nybble Sum L/H", "Nybble Sum H/L"},
         -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.entries, DropDownEntries(Control(c.id)));
        EXPECT_EQ(c.selected, SendMessageW(Control(c.id), CB_GETCURSEL, 0, 0));
    }
}

TEST_F(BuilderWindowTest, TabVisitsTheControlsInTheOrderOfTheTable) {
    for (const Expected& expected : kControls) EnableWindow(Control(expected.id), TRUE);
    std::vector<int> visited;
    HWND control = GetNextDlgTabItem(Window(), nullptr, FALSE);
    for (size_t i = 0; control && i < std::size(kControls); ++i) {
        visited.push_back(GetDlgCtrlID(control));
        control = GetNextDlgTabItem(Window(), control, FALSE);
    }
    std::vector<int> expected;
    for (const Expected& e : kControls) expected.push_back(e.id);
    EXPECT_EQ(expected, visited);

    // And the key itself moves there, through the window's own loop.
    SetFocus(Control(ids::kCompany));
    Press(Control(ids::kCompany), VK_TAB);
    EXPECT_EQ(Control(ids::kProduct), GetFocus());
}

TEST_F(BuilderWindowTest, EscapeAndEnterLeaveTheWindowOpenAndKeepTheirUseInBoxes) {
    Type(ids::kConfigurationName, "Scene");
    const struct {
        const char* name;
        int control;
        UINT key;
    } cases[] = {
        {"Escape on a list", ids::kConfigurations, VK_ESCAPE},
        {"Enter on a list", ids::kConfigurations, VK_RETURN},
        {"Enter in a one-line box", ids::kCompany, VK_RETURN},
        {"Escape in a one-line box", ids::kCompany, VK_ESCAPE},
        // A multi-line edit asks its dialog to close on Escape.
        {"Escape in a byte box", ids::kRequest, VK_ESCAPE},
        {"Enter on a drop-down", ids::kDeviceType, VK_RETURN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SendMessageW(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(c.control)), TRUE);
        Press(Control(c.control), c.key);
        Pump();
        ASSERT_TRUE(IsWindow(Window()));
        EXPECT_TRUE(boxes.boxes.empty());
    }
    EXPECT_EQ(std::vector<std::string>{}, Items(ids::kConfigurations)) << "Enter pressed no button";

    // Enter in a byte box starts a new line there.
    SendMessageW(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(ids::kRequest)), TRUE);
    Type(ids::kRequest, "F0 7D");
    SendMessageW(Control(ids::kRequest), EM_SETSEL, 5, 5);
    Press(Control(ids::kRequest), VK_RETURN);
    EXPECT_EQ("F0 7D\r\n", Text(ids::kRequest));

    // Enter on a button presses it.
    SendMessageW(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(ids::kConfigurationAdd)), TRUE);
    Press(Control(ids::kConfigurationAdd), VK_RETURN);
    EXPECT_EQ(std::vector<std::string>{"Scene"}, Items(ids::kConfigurations));
    ASSERT_EQ(1u, Device().ConfigurationCount());
    // Add is now disabled under the key; the keyboard still has a control.
    EXPECT_FALSE(IsWindowEnabled(Control(ids::kConfigurationAdd)));
    EXPECT_TRUE(GetFocus() && IsChild(Window(), GetFocus()) && IsWindowEnabled(GetFocus()));
}

// Each way of closing asks about the unsaved changes first; No closes the
// window without saving.
TEST_F(BuilderWindowTest, TheCloseButtonSystemMenuAndAltF4AskAboutUnsavedChangesFirst) {
    const LPARAM altF4 = static_cast<LPARAM>(1 | (MapVirtualKeyW(VK_F4, MAPVK_VK_TO_VSC) << 16) | (1u << 29));
    const struct {
        const char* name;
        int target;  // 0: the window itself
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } cases[] = {
        {"close button", 0, WM_CLOSE, 0, 0},
        {"system menu", 0, WM_SYSCOMMAND, SC_CLOSE, 0},
        {"Alt+F4 in a box", ids::kCompany, WM_SYSKEYDOWN, VK_F4, altF4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!IsWindow(Window())) {
            dialog = std::make_unique<CDRUVTemplateBuilderDlg>();
            ASSERT_TRUE(dialog->Create(GetModuleHandleW(nullptr)));
            dialog->Show();
        }
        MessageRecorder answeredNo(MessageAnswer::No);
        Type(ids::kCompany, "Unsaved");
        HWND window = Window();
        HWND target = c.target ? Control(c.target) : window;
        if (c.target) SetFocus(target);
        PostMessageW(target, c.message, c.wParam, c.lParam);
        Pump();
        Pump();
        EXPECT_FALSE(IsWindow(window));
        ASSERT_EQ(1u, answeredNo.boxes.size());
        EXPECT_EQ("Save changes to Untitled?", answeredNo.boxes[0].text);
        EXPECT_EQ(window, answeredNo.boxes[0].owner);
        EXPECT_TRUE(dialogRequests.empty()) << "nothing saved";
    }
}

TEST_F(BuilderWindowTest, ListCommandsReachTheDeviceThroughTheControlsNotifications) {
    for (const char* name : {"Everything", "Scene only"}) {
        Type(ids::kConfigurationName, name);
        Click(ids::kConfigurationAdd);
    }
    for (const char* name : {"Current Scene", "Setup", "Library"}) {
        Type(ids::kTemplateName, name);
        Click(ids::kTemplateAdd);
    }
    EXPECT_EQ((std::vector<std::string>{"Everything", "Scene only"}), Items(ids::kConfigurations));
    EXPECT_EQ((std::vector<std::string>{"Current Scene", "Setup", "Library"}), Items(ids::kTemplates));
    EXPECT_EQ(Items(ids::kTemplates), Items(ids::kConfigurationTemplates));

    // The name box's changes reach the core as they are typed.
    Type(ids::kTemplateName, "setup");
    EXPECT_FALSE(IsWindowEnabled(Control(ids::kTemplateAdd))) << "the name is taken";

    // Choose the templates of the first configuration by clicks; they are
    // stored when another configuration is chosen.
    ClickItem(ids::kConfigurations, 0);
    ClickItem(ids::kConfigurationTemplates, 0);
    ClickItem(ids::kConfigurationTemplates, 2);
    ClickItem(ids::kConfigurations, 1);
    EXPECT_EQ((std::vector<std::string>{"Current Scene", "Library"}), Device().Configuration(0)->Refs());
    EXPECT_EQ(std::vector<int>{}, SelectedItems(ids::kConfigurationTemplates));
    ClickItem(ids::kConfigurations, 0);
    EXPECT_EQ((std::vector<int>{0, 2}), SelectedItems(ids::kConfigurationTemplates));

    // Rename the second template through its name box and Ed.
    ClickItem(ids::kTemplates, 1);
    Type(ids::kTemplateName, "Global Setup");
    Click(ids::kTemplateRename);
    EXPECT_EQ("Global Setup", Device().Template(1)->Name());
    EXPECT_EQ((std::vector<std::string>{"Current Scene", "Global Setup", "Library"}), Items(ids::kTemplates));
    EXPECT_EQ(1, SendMessageW(Control(ids::kTemplates), LB_GETCURSEL, 0, 0));

    // Remove asks, and the answer Yes removes.
    ClickItem(ids::kConfigurations, 1);
    Click(ids::kConfigurationRemove);
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_EQ("Are you sure you want to remove the configuration?", boxes.boxes[0].text);
    EXPECT_EQ(Window(), boxes.boxes[0].owner);
    EXPECT_EQ(std::vector<std::string>{"Everything"}, Items(ids::kConfigurations));
    EXPECT_EQ(1u, Device().ConfigurationCount());
}

TEST_F(BuilderWindowTest, ALongByteStringADropDownAndACheckBoxSurviveStoreAndShow) {
    for (const char* name : {"Big", "Small"}) {
        Type(ids::kTemplateName, name);
        Click(ids::kTemplateAdd);
    }
    ClickItem(ids::kTemplates, 0);
    std::string bytes;
    while (bytes.size() < 40000) bytes += "7F ";
    Type(ids::kPreRequest, bytes);
    SendMessageW(Control(ids::kCSumType), CB_SETCURSEL, 2, 0);
    CheckDlgButton(Window(), ids::kStoreTerminator, BST_CHECKED);
    ClickItem(ids::kTemplates, 1);  // stores "Big"

    const DRUVTemplate& big = *Device().Template(0);
    EXPECT_EQ(bytes.size() / 3, big.PreRequest().size());
    EXPECT_EQ(2, big.CSumType());
    EXPECT_EQ(1, big.StoreTerminator());

    ClickItem(ids::kTemplates, 0);  // shows it again
    EXPECT_EQ(bytes, Text(ids::kPreRequest));
    EXPECT_EQ(2, SendMessageW(Control(ids::kCSumType), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(Window(), ids::kStoreTerminator));
}
