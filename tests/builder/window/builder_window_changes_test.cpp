// The builder's window under Wine with unsaved work: its title follows the
// changes as the controls report them, its keys run the file commands from
// any control, the system's own question decides whether the window closes,
// and every box the window's commands show, the definition code's included,
// is owned by the window.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "builder/builder_controls.h"
#include "platform/message_box.h"
#include "platform/wide_text.h"
#include "tests/builder/window/builder_window_fixture.h"
#include "tests/platform/message_box_watcher.h"

namespace {

namespace ids = builder_controls;
namespace commands = builder_commands;

std::string Title(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return Utf8Text(text);
}

// A multi-line box reports no change of a text set as a whole; typing, as
// replacing its selection, is reported.
void TypeOver(HWND box, const std::string& text) {
    SendMessageW(box, EM_SETSEL, 0, -1);
    SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(WideText(text).c_str()));
}

}  // namespace

TEST_F(BuilderWindowTest, TheTitleNamesTheFileAndShowsAStarWhileAnyControlHoldsAChange) {
    EXPECT_EQ("DRUV Template Builder", Title(Window()));
    Choose(ExampleDefinition("brindle-koss-sd16-mixer.druv"));
    Toolbar(commands::kOpen);
    const std::string clean = "brindle-koss-sd16-mixer.druv - DRUV Template Builder";
    const std::string changed = "brindle-koss-sd16-mixer.druv* - DRUV Template Builder";
    ASSERT_EQ(clean, Title(Window()));
    ClickItem(ids::kConfigurations, 1);
    ClickItem(ids::kTemplates, 0);
    EXPECT_EQ(clean, Title(Window())) << "choosing is no change";

    const struct {
        const char* what;
        std::function<void()> change;
    } cases[] = {
        {"a device box typed into", [&] { Type(ids::kCompany, "Other"); }},
        {"a byte box typed into", [&] {
             TypeOver(Control(ids::kRequest), "F0 F7");
             Pump();
         }},
        {"a check box clicked", [&] { Click(ids::kMidiChannel); }},
        {"a template's check box clicked", [&] { Click(ids::kTimeOut); }},
        {"a drop-down's entry chosen with the keyboard",
         [&] {
             SendMessageW(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(ids::kDeviceType)), TRUE);
             Press(Control(ids::kDeviceType), VK_DOWN);
         }},
        {"a configuration's template clicked", [&] { ClickItem(ids::kConfigurationTemplates, 1); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // The control's own state, kept to put it back.
        const std::string company = Text(ids::kCompany), request = Text(ids::kRequest);
        c.change();
        EXPECT_EQ(changed, Title(Window()));
        // The same action again, or the text typed back, undoes it.
        if (std::string(c.what).find("typed") != std::string::npos) {
            Type(ids::kCompany, company);
            TypeOver(Control(ids::kRequest), request);
            Pump();
        } else if (std::string(c.what).find("drop-down") != std::string::npos) {
            Press(Control(ids::kDeviceType), VK_UP);
        } else {
            c.change();
        }
        EXPECT_EQ(clean, Title(Window()));
    }

    ClickItem(ids::kTemplates, 1);
    Click(ids::kTemplateUp);
    EXPECT_EQ(changed, Title(Window()));
    const std::string copy = folder.File("copy.druv");
    Choose(copy);
    Toolbar(commands::kSaveAs);
    EXPECT_EQ("copy.druv - DRUV Template Builder", Title(Window()));
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes[0].text;
}

TEST_F(BuilderWindowTest, CtrlKeysRunTheFileCommandsFromAnyControl) {
    const std::string path = folder.File("keys.druv");
    const int focused[] = {ids::kCompany, ids::kTemplates, ids::kRequest, ids::kConfigurationAdd};
    for (int control : focused) {
        SCOPED_TRACE(control);
        HWND target = Control(control);
        SendMessageW(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
        std::filesystem::remove(std::filesystem::u8path(path));
        dialogRequests.clear();
        boxes.boxes.clear();

        // Ctrl+S on a new definition asks for a name, then writes.
        Choose(path);
        PressWithCtrl(target, 'S');
        ASSERT_EQ(1u, dialogRequests.size());
        EXPECT_EQ(FileDialogKind::Save, dialogRequests[0].kind);
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(path)));
        // Ctrl+S with a file writes it without a dialog.
        Type(ids::kProduct, "Saved by key");
        PressWithCtrl(target, 'S');
        EXPECT_EQ(1u, dialogRequests.size());
        DRUVDevice saved;
        saved.SetFilePath(path.c_str());
        ASSERT_EQ(0, saved.LoadDefinition());
        EXPECT_EQ("Saved by key", saved.Product());
        // Ctrl+Shift+S always asks.
        PressWithCtrl(target, 'S', true);
        ASSERT_EQ(2u, dialogRequests.size());
        EXPECT_EQ(FileDialogKind::Save, dialogRequests[1].kind);
        // Ctrl+O opens.
        PressWithCtrl(target, 'O');
        ASSERT_EQ(3u, dialogRequests.size());
        EXPECT_EQ(FileDialogKind::Open, dialogRequests[2].kind);
        // Ctrl+N asks about changes first, then starts anew.
        Type(ids::kCompany, "Unsaved");
        {
            MessageRecorder answeredNo(MessageAnswer::No);
            PressWithCtrl(target, 'N');
            ASSERT_EQ(1u, answeredNo.boxes.size());
            EXPECT_EQ("Save changes to keys.druv?", answeredNo.boxes[0].text);
        }
        EXPECT_EQ("", Text(ids::kCompany));
        EXPECT_EQ("", Text(ids::kCurrentDevice));
        EXPECT_EQ("DRUV Template Builder", Title(Window()));
        EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes[0].text;
        // The keys typed nothing into the box that had the focus.
        EXPECT_EQ("", Text(ids::kCompany));
    }
}

// The system's own box with its three buttons, pressed as a person would.
TEST_F(BuilderWindowTest, TheSystemsQuestionKeepsTheWindowOnCancelAndClosesItOnNo) {
    ScopedMessageBoxHandler systemBoxes(nullptr);
    Type(ids::kCompany, "Unsaved");
    HWND window = Window();
    {
        MessageBoxWatcher person(IDCANCEL);
        Post(WM_CLOSE, 0);
        const std::wstring seen = person.Finish();
        EXPECT_NE(std::wstring::npos, seen.find(L"Save changes to Untitled?")) << Utf8Text(seen);
        EXPECT_NE(std::wstring::npos, seen.find(L"\nCancel\n")) << Utf8Text(seen);
    }
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ("Unsaved", Text(ids::kCompany));
    {
        MessageBoxWatcher person(IDNO);
        Post(WM_CLOSE, 0);
        Pump();
    }
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(dialogRequests.empty()) << "No saves nothing";
}

TEST_F(BuilderWindowTest, TheRefusalsAndTheDefinitionCodesBoxesAreOwnedByTheWindow) {
    const std::string broken = folder.Write("broken.druv", "<DRUVDevice><Company>x");
    Choose(broken);
    Toolbar(commands::kOpen);
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_EQ(0u, boxes.boxes[0].text.find("Error: unable to parse file"));

    Type(ids::kHelpFile, "setup.exe");
    PressWithCtrl(Control(ids::kHelpFile), 'S');
    ASSERT_EQ(2u, boxes.boxes.size());
    EXPECT_NE(std::string::npos, boxes.boxes[1].text.find("\"PDF Help File\" names \"setup.exe\""))
        << boxes.boxes[1].text;
    EXPECT_TRUE(dialogRequests.size() == 1) << "the refused save asked for no file";

    Type(ids::kConfigurationName, "Scenes;Banks");
    Click(ids::kConfigurationAdd);
    ASSERT_EQ(3u, boxes.boxes.size());
    EXPECT_EQ(0u, boxes.boxes[2].text.find("A configuration's name cannot hold")) << boxes.boxes[2].text;
    EXPECT_EQ(std::vector<std::string>{}, Items(ids::kConfigurations));

    Type(ids::kHelpFile, "");
    Type(ids::kTemplateName, "Empty");
    Click(ids::kTemplateAdd);
    Choose(folder.File("empty.druv"));
    Toolbar(commands::kSave);
    ASSERT_EQ(4u, boxes.boxes.size());
    EXPECT_EQ(0u, boxes.boxes[3].text.find("Warning! The Template Empty")) << boxes.boxes[3].text;

    for (const RecordedBox& box : boxes.boxes) EXPECT_EQ(Window(), box.owner) << box.text;
}
