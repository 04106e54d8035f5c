// The builder's window in this process, shown on the test display and pumped
// by its own message loop: every file dialog and message box is answered
// here, and each control is driven with the messages a person's mouse and
// keys would send.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "builder/window/builder_dialog.h"
#include "platform/file_dialog.h"
#include "tests/device/test_support.h"

class BuilderWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND Window() const { return dialog->Window(); }
    HWND Control(int id) const { return GetDlgItem(Window(), id); }
    DRUVDevice& Device() { return dialog->Builder().Device(); }

    // Lets the window's loop handle everything waiting.
    void Pump() { dialog->Loop().PumpPending(); }
    // Posts the message to the window and lets its loop handle it.
    void Post(UINT message, WPARAM wParam, LPARAM lParam = 0) {
        PostMessageW(Window(), message, wParam, lParam);
        Pump();
    }
    // A click on the button, as the mouse gives it.
    void Click(int button);
    // A click on an item of a list, as the mouse gives it: the list itself
    // changes its selection and tells the window.
    void ClickItem(int list, int index);
    // The text of a box replaced, as typing it would leave it.
    void Type(int box, const std::string& text);
    // A key pressed and released on `target`, which has the focus.
    void Press(HWND target, UINT key);
    // The same with Ctrl, and Shift when asked, held down.
    void PressWithCtrl(HWND target, UINT key, bool shift = false);
    // The toolbar's command, as a click on its button sends it.
    void Toolbar(int command);

    std::string Text(int id) const;
    std::vector<std::string> Items(int list) const;
    std::vector<int> SelectedItems(int list) const;

    // The next file dialogs choose `path`.
    void Choose(const std::string& path);

    // The text of the tool tip the window shows over the control.
    std::string ToolTipOf(int id) const;

    // Clicks "Advanced..." and runs `act` inside the dialog's own loop once
    // it is open. `act` ends by closing it, at once (SendMessageW) or by what
    // it posts; a dialog still open seconds later fails the test and is
    // cancelled, so that no test waits for a person. False when no dialog
    // opened.
    bool WithAdvancedDialog(std::function<void(HWND dialog)> act);

    MessageRecorder boxes{MessageAnswer::Yes};
    std::vector<FileDialogRequest> dialogRequests;
    FileDialogResult dialogAnswer;
    ScratchFolder folder;
    std::unique_ptr<CDRUVTemplateBuilderDlg> dialog;

private:
    std::unique_ptr<ScopedFileDialogHandler> dialogs_;
};

// The example definitions, in the form the program sees paths.
std::string ExampleDefinition(const std::string& name);
