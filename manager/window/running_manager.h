// A second start of the manager hands the files of its command line to the
// manager that runs: it finds that manager's window by the single-instance
// name and sends it the files in one WM_COPYDATA message (manager/
// file_handover.h), and the window installs them as from its own command
// line.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// How long a second start waits for the running manager's window: a manager
// started a moment earlier (two files opened at once from the shell) may
// still be creating it.
constexpr DWORD kWaitForRunningManagerMs = 5000;
// How long it waits for that window to take the files.
constexpr DWORD kHandOverAnswerMs = 10000;

// Marks `window` as the window of the manager that holds `instanceName`, so
// that a second start can find it; Unmark before the window goes.
void MarkManagerWindow(HWND window, const std::wstring& instanceName);
void UnmarkManagerWindow(HWND window, const std::wstring& instanceName);
// The top-level window so marked; null when there is none.
HWND FindManagerWindow(const std::wstring& instanceName);

// Hands `paths`, made absolute against this process's current folder (the
// running manager has another), to the running manager. True when its
// window took them; false when no window appeared within `waitMs`, it did
// not answer, refused them, or the paths cannot be carried.
bool HandFilesToRunningManager(const std::wstring& instanceName, const std::vector<std::string>& paths, DWORD waitMs);

// The receiving side of WM_COPYDATA: the handed-over paths, when the message
// is a hand-over and its bytes are exactly the format; false otherwise.
bool ReadHandedOverFiles(LPARAM copyData, std::vector<std::string>& paths);
