// The "Advanced" dialog through the builder's real window under Wine: opened
// by its button over the current template only, its boxes as the resources
// build them, its OK, Cancel, Escape and close button, its refusals; and the
// two boxes of the main window that used to cut their text: the checksum
// "Type" and "Current Device".
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "builder/advanced_fields.h"
#include "builder/builder_controls.h"
#include "builder/builder_messages.h"
#include "device/druv_template.h"
#include "platform/wide_text.h"
#include "tests/builder/window/builder_window_fixture.h"

namespace {

namespace ids = builder_controls;
namespace boxes = advanced_controls;

std::string WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return Utf8Text(text);
}

void SetBox(HWND dialog, int id, const std::string& text) {
    SetWindowTextW(GetDlgItem(dialog, id), WideText(text).c_str());
}

std::vector<std::string> Entries(HWND dropDown) {
    std::vector<std::string> entries;
    const LRESULT count = SendMessageW(dropDown, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(SendMessageW(dropDown, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(SendMessageW(dropDown, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]))));
        entries.push_back(Utf8Text(text));
    }
    return entries;
}

// The width of a text in the control's font.
LONG TextWidth(HWND control, const std::string& text) {
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    const std::wstring wide = WideText(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return size.cx;
}

std::vector<std::string> Names(const char* const* names, size_t count) { return {names, names + count}; }

class AdvancedWindowTest : public BuilderWindowTest {
protected:
    void AddTemplates(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            Type(ids::kTemplateName, name);
            Click(ids::kTemplateAdd);
        }
    }
    // What the dialog shows in a box when it opens, then Cancel.
    std::string Shown(int box) {
        std::string shown;
        WithAdvancedDialog([&](HWND d) {
            shown = WindowText(GetDlgItem(d, box));
            SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
        });
        return shown;
    }
};

}  // namespace

// Each box of the core's table is in the dialog, labelled as the core names
// it in its messages, in the table's tab order, followed by OK and Cancel.
TEST_F(AdvancedWindowTest, TheDialogShowsTheCurrentTemplatesBoxesInTheCoresOrder) {
    EXPECT_FALSE(IsWindowEnabled(Control(ids::kAdvanced))) << "no template yet";
    AddTemplates({"Bulk"});
    ClickItem(ids::kTemplates, 0);
    ASSERT_TRUE(IsWindowEnabled(Control(ids::kAdvanced)));
    size_t count = 0;
    const AdvancedField* fields = AdvancedFields(count);
    const bool opened = WithAdvancedDialog([&](HWND d) {
        EXPECT_EQ("Advanced: Bulk", WindowText(d));
        EXPECT_EQ(Window(), GetWindow(d, GW_OWNER));
        EXPECT_FALSE(IsWindowEnabled(Window())) << "modal over the builder";
        std::vector<int> expected, visited;
        for (size_t i = 0; i < count; ++i) {
            SCOPED_TRACE(fields[i].element);
            HWND box = GetDlgItem(d, fields[i].control);
            ASSERT_NE(nullptr, box);
            const std::string label = fields[i].box == AdvancedBox::Check ? WindowText(box)
                                                                          : WindowText(GetWindow(box, GW_HWNDPREV));
            EXPECT_EQ(fields[i].label, label);
            // Shown whole: a check box's text beside its square in its own
            // width, a label's text before its box begins.
            if (fields[i].box == AdvancedBox::Check) {
                RECT room{};
                GetClientRect(box, &room);
                EXPECT_LE(TextWidth(box, label) + GetSystemMetrics(SM_CXMENUCHECK) + 4, room.right) << "cut";
            } else {
                HWND before = GetWindow(box, GW_HWNDPREV);
                RECT labelRect{}, boxRect{};
                GetWindowRect(before, &labelRect);
                GetWindowRect(box, &boxRect);
                EXPECT_LE(labelRect.left + TextWidth(before, label), boxRect.left) << "the box covers its label";
            }
            if (fields[i].box == AdvancedBox::Number) {
                EXPECT_EQ(255, SendMessageW(box, EM_GETLIMITTEXT, 0, 0));
                EXPECT_EQ(fields[i].element == std::string("OuterLoopIncDec") ? "1" : "0", WindowText(box));
            }
            expected.push_back(fields[i].control);
        }
        expected.push_back(IDOK);
        expected.push_back(IDCANCEL);
        HWND control = GetNextDlgTabItem(d, nullptr, FALSE);
        for (size_t i = 0; control && i < expected.size(); ++i) {
            visited.push_back(GetDlgCtrlID(control));
            control = GetNextDlgTabItem(d, control, FALSE);
        }
        EXPECT_EQ(expected, visited);
        EXPECT_EQ(Names(kChecksumTypeNames, std::size(kChecksumTypeNames)),
                  Entries(GetDlgItem(d, boxes::kRequestCSumType)));
        EXPECT_EQ(Names(kOuterLoopFormatNames, std::size(kOuterLoopFormatNames)),
                  Entries(GetDlgItem(d, boxes::kOuterLoopValFormat)));
        SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(opened);
    EXPECT_TRUE(IsWindowEnabled(Window()));
}

// OK, and Enter in a box, hand the boxes to the template editor; Cancel,
// Escape and the close button drop them.
TEST_F(AdvancedWindowTest, OkAndEnterKeepTheEditsAndCancelEscapeAndTheCloseButtonDropThem) {
    const struct {
        const char* how;
        bool kept;
        void (*close)(HWND dialog, HWND box);
    } cases[] = {
        {"OK", true, [](HWND d, HWND) { SendMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0); }},
        {"Enter in a box", true,
         [](HWND, HWND box) {
             SetFocus(box);
             PostMessageW(box, WM_KEYDOWN, VK_RETURN, 1);
             PostMessageW(box, WM_KEYUP, VK_RETURN, 0xC0000001);
         }},
        {"Cancel", false, [](HWND d, HWND) { SendMessageW(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0); }},
        {"Escape in a box", false,
         [](HWND, HWND box) {
             SetFocus(box);
             PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 1);
             PostMessageW(box, WM_KEYUP, VK_ESCAPE, 0xC0000001);
         }},
        {"the close button", false, [](HWND d, HWND) { PostMessageW(d, WM_CLOSE, 0, 0); }},
    };
    AddTemplates({"A", "B"});
    const std::string path = folder.File("advanced.druv");
    Choose(path);
    Toolbar(builder_commands::kSaveAs);
    boxes.boxes.clear();  // the warnings about templates of size 0
    ClickItem(ids::kTemplates, 0);
    int value = 1;
    // What the template editor holds for the current template.
    const auto pending = [&] { return dialog->Builder().Editor().PendingExtensions().outerLoopCount; };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        const int before = pending();
        ++value;
        ASSERT_TRUE(WithAdvancedDialog([&](HWND d) {
            EXPECT_EQ(std::to_string(before), WindowText(GetDlgItem(d, boxes::kOuterLoopCount)));
            SetBox(d, boxes::kOuterLoopCount, std::to_string(value));
            c.close(d, GetDlgItem(d, boxes::kOuterLoopCount));
        }));
        EXPECT_EQ(c.kept ? value : before, pending());
        EXPECT_TRUE(boxes.boxes.empty());
    }
    EXPECT_EQ(0, Device().Template(0)->Extensions().outerLoopCount) << "taken when the template is stored";
    EXPECT_NE(std::string::npos, WindowText(Window()).find('*'));
    ClickItem(ids::kTemplates, 1);
    EXPECT_EQ(3, Device().Template(0)->Extensions().outerLoopCount) << "the last OK'd value, by Enter";
    EXPECT_EQ("0", Shown(boxes::kOuterLoopCount)) << "template B's own";
}

TEST_F(AdvancedWindowTest, ARefusedBoxIsNamedOverTheDialogAndTakesTheFocus) {
    AddTemplates({"A"});
    ClickItem(ids::kTemplates, 0);
    HWND focused = nullptr;
    bool stayed = false;
    HWND dialogWindow = nullptr;
    ASSERT_TRUE(WithAdvancedDialog([&](HWND d) {
        dialogWindow = d;
        SetBox(d, boxes::kAddressBytes, "5");
        SendMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
        stayed = IsWindow(d) && IsWindowVisible(d);
        focused = GetFocus();
        EXPECT_EQ(GetDlgItem(d, boxes::kAddressBytes), focused);
        SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
    }));
    EXPECT_TRUE(stayed);
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_EQ(dialogWindow, boxes.boxes[0].owner);
    EXPECT_EQ(MessageIcon::Error, boxes.boxes[0].icon);
    EXPECT_EQ(0u, boxes.boxes[0].text.find("\"Bytes\" in \"Loop Address\" must be 0")) << boxes.boxes[0].text;
    EXPECT_EQ("0", Shown(boxes::kAddressBytes)) << "nothing taken";
}

// The closed box shows the chosen kind whole, and the open list every kind;
// the label beside it, which gave it room, still shows whole too.
TEST_F(AdvancedWindowTest, TheChecksumTypeShowsEveryKindsNameWhole) {
    HWND type = Control(ids::kCSumType);
    HWND label = GetWindow(type, GW_HWNDPREV);
    RECT labelRect{};
    GetClientRect(label, &labelRect);
    EXPECT_LE(TextWidth(label, WindowText(label)), labelRect.right) << WindowText(label);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(type, &info));
    const LONG closedRoom = info.rcItem.right - info.rcItem.left;
    const LRESULT dropped = SendMessageW(type, CB_GETDROPPEDWIDTH, 0, 0);
    for (const char* name : kChecksumTypeNames) {
        SCOPED_TRACE(name);
        const LONG width = TextWidth(type, name);
        EXPECT_LE(width, closedRoom - 2) << "the closed box, " << closedRoom << " pixels";
        EXPECT_LE(width, dropped - GetSystemMetrics(SM_CXVSCROLL)) << "the list, " << dropped << " pixels";
    }
}

TEST_F(AdvancedWindowTest, CurrentDeviceShowsThePathsEndAndTheWholePathInItsToolTip) {
    const std::filesystem::path deep = std::filesystem::path(folder.File("")) / "instruments" / "synthesizers";
    std::filesystem::create_directories(deep);
    const struct {
        std::string path;
        bool whole;
    } cases[] = {
        {(deep / "a.druv").string(), false},
        {folder.File("a-definition-with-a-long-name-that-fills-the-box.druv"), false},
        {"C:\\a.druv", true},
    };
    HWND box = Control(ids::kCurrentDevice);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        Choose(c.path);
        Toolbar(builder_commands::kSaveAs);
        const std::string shown = Text(ids::kCurrentDevice);
        EXPECT_EQ(c.path, ToolTipOf(ids::kCurrentDevice));
        if (c.whole) {
            EXPECT_EQ(c.path, shown);
            continue;
        }
        ASSERT_EQ(0u, shown.find("...")) << shown;
        const std::string tail = shown.substr(3);
        EXPECT_EQ(c.path.size() - tail.size(), c.path.rfind(tail)) << "the path's end: " << shown;
        RECT client{};
        GetClientRect(box, &client);
        EXPECT_LT(TextWidth(box, shown), client.right) << shown;
    }
    EXPECT_TRUE(boxes.boxes.empty());
    std::error_code ignored;
    std::filesystem::remove(cases[2].path, ignored);
}
