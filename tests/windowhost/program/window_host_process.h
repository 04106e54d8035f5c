// DRUV Host.exe as another process, seen from outside as a person sees it:
// its main window, its title, its progress bar, the boxes it shows; keys and
// commands posted to it. Whatever still runs when the object goes is ended.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace windowhosttest {

class WindowHostProcess {
public:
    WindowHostProcess() = default;
    ~WindowHostProcess();
    WindowHostProcess(const WindowHostProcess&) = delete;
    WindowHostProcess& operator=(const WindowHostProcess&) = delete;

    // Starts the program with `project` (UTF-8; none when empty) on its
    // command line; false with the system's error code in `error`.
    bool Start(const std::string& project, DWORD& error);
    // The main window once it shows; null on timeout.
    HWND WaitForMainWindow(DWORD timeoutMs);
    // A message box of the program's (a dialog without the instrument list);
    // null on timeout.
    HWND WaitForBox(DWORD timeoutMs) const;
    // The process's exit code once it has ended; STILL_ACTIVE on timeout.
    DWORD WaitForExit(DWORD timeoutMs);

    HWND Main() const { return main_; }
    std::string Title() const;
    int ProgressPosition() const;
    bool CancelButtonShown() const;
    bool MenuItemEnabled(UINT command) const;
    // A key as the keyboard gives it to the window (through its accelerators).
    void PressKey(UINT key) const;

private:
    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
};

// The text of a message box and the press of one of its buttons (IDYES, ...).
std::string BoxText(HWND box);
void PressBoxButton(HWND box, int button);
// Types `path` into a file dialog's name field and chooses it.
void ChooseInFileDialog(HWND dialog, const std::string& path);
// The rows of the list box `id` in `dialog`.
std::vector<std::string> ListRows(HWND dialog, int id);

}  // namespace windowhosttest
