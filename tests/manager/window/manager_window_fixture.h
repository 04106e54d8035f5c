// The manager's window in this process, hidden, over the prefix's registry:
// DRUV.dll of the build is the plug-in, definition files carry GUIDs made for
// this run, every message box and file dialog is answered here, and every
// key the window writes is put back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "manager/window/manager_dialog.h"
#include "platform/file_dialog.h"
#include "tests/device/test_support.h"

struct OpenedDocument {
    HWND owner;
    std::string document;
    std::string workingFolder;
};

struct TestDevice {
    std::string path;
    std::string displayName;
    GUID device;
    GUID editor;
    int deviceType;
};

class ManagerWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A definition file of a device made for this run.
    TestDevice MakeDevice(const std::string& product, int deviceType = 1);
    // Creates the window (hidden) with these command-line files.
    void Open(const std::vector<std::string>& commandLineFiles = {});
    // Posts the message to the window and lets its loop handle everything waiting.
    void Post(UINT message, WPARAM wParam, LPARAM lParam = 0);
    void Command(int command) { Post(WM_COMMAND, static_cast<WPARAM>(command)); }

    HWND Window() const { return dialog->Window(); }
    HWND List() const { return GetDlgItem(Window(), 1000); }
    HWND Toolbar() const { return GetDlgItem(Window(), 1); }
    std::vector<std::wstring> ListTexts() const;
    bool ButtonEnabled(int command) const;
    std::vector<std::string> BoxTexts() const;

    std::string managerFolder;  // the folder of the built DRUV.dll
    std::wstring instanceName;  // by which a second start finds the window; none by default
    std::vector<TestDevice> devices;
    ScratchFolder folder;
    MessageRecorder boxes{MessageAnswer::No};
    std::vector<FileDialogRequest> dialogRequests;
    FileDialogResult dialogAnswer;
    std::unique_ptr<ScopedFileDialogHandler> dialogs;
    std::vector<OpenedDocument> opened;
    std::unique_ptr<CDRUVManagerDlg> dialog;
};

std::wstring GuidText(const GUID& guid);
// The keys of a device's host entries.
std::wstring ClassKey(const GUID& guid);
std::wstring PluginKey(const GUID& guid);
