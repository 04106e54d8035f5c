// The import preview as a modal dialog: the heading, one row per item and
// what matched nothing; OK imports, Cancel changes nothing. A file that does
// not fit shows why, and only Cancel can be chosen.
#pragma once

#include <windows.h>

#include "windowhost/core/syx_preview.h"

namespace windowhost {

// True when the musician chose OK (never for a preview that does not fit).
bool ShowSyxPreview(HINSTANCE module, HWND owner, const SyxPreview& preview);

}  // namespace windowhost
