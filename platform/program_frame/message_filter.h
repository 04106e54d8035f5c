// An elevated window does not receive dropped files or copied data from
// programs that run with lower rights (the shell, for one) unless it lets
// those messages through.
#pragma once

#include <windows.h>

enum class MessageFilterResult {
    Allowed,      // all three messages are let through
    Unavailable,  // the system has no per-window message filter: nothing to do
    Refused,      // the window does not exist, or the system refused
};

// Lets WM_DROPFILES, WM_COPYDATA and the system's message that carries the
// dropped data (0x0049) reach `window` from lower-rights processes.
MessageFilterResult AllowDropsFromLowerRights(HWND window);
