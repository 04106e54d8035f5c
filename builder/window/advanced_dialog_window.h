// The "Advanced" dialog as a modal window over the builder's: its boxes
// through a Win32BuilderView, its OK through the core's AdvancedEditor, which
// closes it only once every box is accepted and otherwise leaves the focus in
// the box to mend. Cancel, Escape and the close button drop its edits.
#pragma once

#include <windows.h>

#include "builder/advanced_editor.h"
#include "builder/window/win32_builder_view.h"

class Win32AdvancedDialog : public AdvancedDialog {
public:
    // The resources the dialog comes from and the window it is shown over.
    void SetUp(HINSTANCE module, HWND owner) {
        module_ = module;
        owner_ = owner;
    }

    bool Run(AdvancedEditor& editor) override;

    // The dialog while it is open, else null.
    HWND Window() const { return window_; }

private:
    static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Initialise();
    void Accept();

    HINSTANCE module_ = nullptr;
    HWND owner_ = nullptr;
    HWND window_ = nullptr;
    AdvancedEditor* editor_ = nullptr;
    Win32BuilderView view_;
};
