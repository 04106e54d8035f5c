// The manager's one window: the list of registered instruments under a
// toolbar (Add, Remove, Remove All, Help). A modeless dialog from the
// resources of the module given, run by the program frame's message loop so
// that its accelerators work and Escape and Enter never close it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "manager/instrument_manager.h"
#include "manager/window/document_opener.h"
#include "platform/program_frame/frame_message_loop.h"
#include "platform/program_frame/program_frame.h"

struct ManagerWindowStart {
    // The manager's executable, written into the ".druv" association.
    std::string executablePath;
    // Definition files to install before the window is first shown, in order.
    std::vector<std::string> commandLineFiles;
    DocumentOpener openDocument = ShellOpenDocument;
    // The single-instance name by which a second start finds this window to
    // hand it its files; empty for a window no one is to find.
    std::wstring instanceName = L"";
};

class CDRUVManagerDlg {
public:
    CDRUVManagerDlg(ManagerEnvironment environment, ManagerWindowStart start);
    ~CDRUVManagerDlg();
    CDRUVManagerDlg(const CDRUVManagerDlg&) = delete;
    CDRUVManagerDlg& operator=(const CDRUVManagerDlg&) = delete;

    // Creates the window, hidden, from `module`'s resources and initialises it:
    // the association is written, the stored list loaded and the command-line
    // files installed before this returns. False when the window could not be
    // created.
    bool Create(HINSTANCE module);
    void Show(int how = SW_SHOWNORMAL);
    // Runs the window until it is closed.
    int Run() { return loop_.Run(); }

    HWND Window() const { return window_; }
    FrameMessageLoop& Loop() { return loop_; }
    const InstrumentManager& Manager() const { return manager_; }

private:
    static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Initialise();
    void OnCommand(int command);
    void OnListChanged();
    void ApplyButtons();
    void AddDevices();
    void InstallEach(const std::vector<std::string>& paths);
    // WM_COPYDATA: takes the files a second start hands over, if the message
    // is exactly that, and installs them once the sender has its answer.
    bool TakeHandedOverFiles(LPARAM copyData);
    void InstallHandedOverFiles();
    void BringToFront();
    void OpenManual();
    void ShowAbout();
    void Close();
    HWND ListBox() const;
    HWND Toolbar() const;

    RegistryEditor& registry_;
    InstrumentManager manager_;
    ManagerWindowStart start_;
    std::string managerFolder_;
    HINSTANCE module_ = nullptr;
    HWND window_ = nullptr;
    HACCEL accelerators_ = nullptr;
    std::vector<std::string> handed_over_;
    ProgramFrame frame_;
    FrameMessageLoop loop_{nullptr};
};
