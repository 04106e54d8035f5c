// The builder's one window: the device's fields, its configurations and
// templates and the template editor under a toolbar (Open, Save, Save As),
// with the keys Ctrl+N, Ctrl+O, Ctrl+S and Ctrl+Shift+S, and the "Advanced"
// dialog of the current template's extensions. A modeless dialog
// from the resources of the module given, run by the program frame's message
// loop. Every control's content goes through the core's view, and every
// notification that means something to the core is handed to it. The window
// closes only by its close button, the system menu or Alt+F4, and only after
// the core's question about unsaved changes allows it.
#pragma once

#include <windows.h>

#include "builder/template_builder.h"
#include "builder/window/advanced_dialog_window.h"
#include "builder/window/win32_builder_view.h"
#include "platform/program_frame/frame_message_loop.h"
#include "platform/program_frame/program_frame.h"

class CDRUVTemplateBuilderDlg {
public:
    CDRUVTemplateBuilderDlg();
    ~CDRUVTemplateBuilderDlg();
    CDRUVTemplateBuilderDlg(const CDRUVTemplateBuilderDlg&) = delete;
    CDRUVTemplateBuilderDlg& operator=(const CDRUVTemplateBuilderDlg&) = delete;

    // Creates the window, hidden, from `module`'s resources and shows the new
    // definition's defaults in it. False when the window could not be created.
    bool Create(HINSTANCE module);
    void Show(int how = SW_SHOWNORMAL);
    // Runs the window until it is closed.
    int Run() { return loop_.Run(); }

    HWND Window() const { return window_; }
    // The "Advanced" dialog's window while it is open, else null.
    HWND AdvancedWindow() const { return advanced_.Window(); }
    FrameMessageLoop& Loop() { return loop_; }
    // The core behind the window, with the device it edits.
    TemplateBuilder& Builder() { return builder_; }

private:
    static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Initialise();
    void PrepareControls();
    void FillDropDowns();
    void OnCommand(int control, int notification, HWND sender);
    template <typename Work>
    void WithListsPaused(Work work);
    void ShowAbout();

    HINSTANCE module_ = nullptr;
    HWND window_ = nullptr;
    HACCEL keys_ = nullptr;
    Win32BuilderView view_;
    Win32AdvancedDialog advanced_;
    TemplateBuilder builder_{view_};
    ProgramFrame frame_;
    FrameMessageLoop loop_{nullptr};
    bool listsPaused_ = false;
};
