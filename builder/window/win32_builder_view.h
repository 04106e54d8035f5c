// The builder's view over the controls of its dialog: each call becomes the
// control's own message. Texts cross as UTF-8 here and UTF-16 in the window.
#pragma once

#include <windows.h>

#include <map>

#include "builder/builder_view.h"
#include "builder/window/path_tool_tip.h"

class Win32BuilderView : public BuilderView {
public:
    explicit Win32BuilderView(HWND dialog = nullptr) : dialog_(dialog) {}
    void Attach(HWND dialog) { dialog_ = dialog; }

    void SetTitle(const std::string& title) override;

    std::string Text(ControlId control) const override;
    void SetText(ControlId control, const std::string& text) override;
    void SetTextLimit(ControlId control, size_t units) override;
    void ShowPath(ControlId control, const std::string& path) override;

    bool IsChecked(ControlId control) const override;
    void SetChecked(ControlId control, bool checked) override;

    int DropDownSelection(ControlId control) const override;
    void SetDropDownSelection(ControlId control, int index) override;

    void Enable(ControlId control, bool enabled) override;

    int ItemCount(ControlId list) const override;
    std::string ItemText(ControlId list, int index) const override;
    void InsertItem(ControlId list, int index, const std::string& text) override;
    void DeleteItem(ControlId list, int index) override;
    void RenameItem(ControlId list, int index, const std::string& text) override;
    void ClearItems(ControlId list) override;

    int CurrentSelection(ControlId list) const override;
    void SetCurrentSelection(ControlId list, int index) override;

    bool IsItemSelected(ControlId list, int index) const override;
    void SetItemSelected(ControlId list, int index, bool selected) override;

private:
    HWND Control(ControlId control) const { return GetDlgItem(dialog_, control); }
    LRESULT Send(ControlId control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageW(Control(control), message, wParam, lParam);
    }

    HWND dialog_;
    std::map<ControlId, PathToolTip> toolTips_;
};
