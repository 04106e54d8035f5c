// The builder's window under Wine with unsaved work: its title follows each
// kind of control's notification, its keys run the file commands, the
// system's own question decides whether it closes, and the boxes of its
// commands, the definition code's included, are owned by the window.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

#include "builder/builder_controls.h"
#include "platform/message_box.h"
#include "platform/wide_text.h"
#include "tests/builder/window/builder_window_fixture.h"
#include "tests/platform/message_box_watcher.h"

namespace {

namespace ids = builder_controls;
namespace commands = builder_commands;

std::string Title(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return Utf8Text(text);
}

// A multi-line box reports no change of a text set as a whole, only typing,
// which replaces its selection.
void TypeOver(HWND box, const std::string& text) {
    SendMessageW(box, EM_SETSEL, 0, -1);
    SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(WideText(text).c_str()));
}

}  // namespace

TEST_F(BuilderWindowTest, TheTitleShowsAStarWhileAnyKindOfControlHoldsAChange) {
    Choose(ExampleDefinition("brindle-koss-sd16-mixer.druv"));
    Toolbar(commands::kOpen);
    const std::string clean = "brindle-koss-sd16-mixer.druv - DRUV Template Builder";
    ClickItem(ids::kConfigurations, 1);
    ClickItem(ids::kTemplates, 0);
    ASSERT_EQ(clean, Title(Window()));
    const std::string request = Text(ids::kRequest);
    const struct {
        const char* what;
        std::function<void()> change, undo;
    } cases[] = {
        {"a byte box typed into", [&] { TypeOver(Control(ids::kRequest), "F0 F7"); },
         [&] { TypeOver(Control(ids::kRequest), request); }},
        {"a check box clicked", [&] { Click(ids::kTimeOut); }, [&] { Click(ids::kTimeOut); }},
        {"a drop-down's entry chosen", [&] { Press(Control(ids::kDeviceType), VK_DOWN); },
         [&] { Press(Control(ids::kDeviceType), VK_UP); }},
        {"a configuration's template clicked", [&] { ClickItem(ids::kConfigurationTemplates, 1); },
         [&] { ClickItem(ids::kConfigurationTemplates, 1); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetFocus(Control(ids::kDeviceType));
        c.change();
        Pump();
        EXPECT_EQ("brindle-koss-sd16-mixer.druv* - DRUV Template Builder", Title(Window()));
        c.undo();
        Pump();
        EXPECT_EQ(clean, Title(Window()));
    }
}

TEST_F(BuilderWindowTest, CtrlKeysRunTheFileCommandsWhereverTheFocusIs) {
    const std::string path = folder.File("keys.druv");
    for (int control : {ids::kCompany, ids::kTemplates}) {
        SCOPED_TRACE(control);
        HWND target = Control(control);
        SetFocus(target);
        std::filesystem::remove(std::filesystem::u8path(path));
        dialogRequests.clear();
        Choose(path);
        PressWithCtrl(target, 'S');  // a new definition asks for a name
        PressWithCtrl(target, 'S');  // then writes its file without asking
        PressWithCtrl(target, 'S', true);
        PressWithCtrl(target, 'O');
        ASSERT_EQ(3u, dialogRequests.size());
        EXPECT_EQ(FileDialogKind::Save, dialogRequests[0].kind);
        EXPECT_EQ(FileDialogKind::Save, dialogRequests[1].kind);
        EXPECT_EQ(FileDialogKind::Open, dialogRequests[2].kind);
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(path)));
        Type(ids::kCompany, "Unsaved");
        {
            MessageRecorder answeredNo(MessageAnswer::No);
            PressWithCtrl(target, 'N');
            ASSERT_EQ(1u, answeredNo.boxes.size());
            EXPECT_EQ("Save changes to keys.druv?", answeredNo.boxes[0].text);
        }
        EXPECT_EQ("", Text(ids::kCompany)) << "a new definition, and no key typed into the box";
        EXPECT_EQ("DRUV Template Builder", Title(Window()));
    }
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes[0].text;
}

// The system's box with its three buttons, pressed as a person would.
TEST_F(BuilderWindowTest, TheSystemsQuestionKeepsTheWindowOnCancelAndClosesItOnNo) {
    ScopedMessageBoxHandler systemBoxes(nullptr);
    Type(ids::kCompany, "Unsaved");
    HWND window = Window();
    {
        MessageBoxWatcher person(IDCANCEL);
        Post(WM_CLOSE, 0);
        const std::wstring seen = person.Finish();
        EXPECT_NE(std::wstring::npos, seen.find(L"\nSave changes to Untitled?\n")) << Utf8Text(seen);
        EXPECT_NE(std::wstring::npos, seen.find(L"\nCancel\n")) << Utf8Text(seen);
    }
    EXPECT_TRUE(IsWindow(window));
    {
        MessageBoxWatcher person(IDNO);
        Post(WM_CLOSE, 0);
        Pump();
    }
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(dialogRequests.empty()) << "No saves nothing";
}

TEST_F(BuilderWindowTest, TheRefusalsAndTheDefinitionCodesBoxesAreOwnedByTheWindow) {
    Choose(folder.Write("broken.druv", "<DRUVDevice><Company>x"));
    Toolbar(commands::kOpen);
    Type(ids::kHelpFile, "setup.exe");
    PressWithCtrl(Control(ids::kHelpFile), 'S');
    Type(ids::kConfigurationName, "Scenes;Banks");
    Click(ids::kConfigurationAdd);
    const char* starts[] = {"Error: unable to parse file", "The definition was not saved",
                            "A configuration's name cannot hold"};
    ASSERT_EQ(3u, boxes.boxes.size());
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(0u, boxes.boxes[i].text.find(starts[i])) << boxes.boxes[i].text;
        EXPECT_EQ(Window(), boxes.boxes[i].owner) << boxes.boxes[i].text;
    }
    EXPECT_EQ(1u, dialogRequests.size()) << "the refused save asked for no file";
    EXPECT_TRUE(Items(ids::kConfigurations).empty());
}
