// The About entry that each program adds to its window's system menu.
#pragma once

#include <windows.h>

// System-menu commands must leave the low four bits clear.
constexpr UINT kAboutCommand = 0x0010;
constexpr UINT kAboutTextResource = 101;

// Appends a separator and the entry `textResource` of `module`'s string table
// with command kAboutCommand to the system menu of `window`. Nothing is
// appended when that string is empty or missing; false then, or when the
// window has no system menu.
bool AppendAboutEntry(HWND window, HINSTANCE module, UINT textResource = kAboutTextResource);

// Whether a message is the choice of that entry.
bool IsAboutCommand(UINT message, WPARAM wParam);
