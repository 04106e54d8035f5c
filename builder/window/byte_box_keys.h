// A multi-line edit in a dialog answers Escape by asking its dialog to close.
// The builder's window stays open on Escape, so its byte boxes keep the key
// to themselves.
#pragma once

#include <windows.h>

// False when the box could not be subclassed.
bool KeepEscapeInByteBox(HWND box);
