// Messages that the filter's news arrive as at the page window, posted from
// the host's threads and handled on the window's own.
#pragma once

#include <windows.h>

constexpr UINT kPortsChangedMessage = WM_APP + 1;
constexpr UINT kDataReceivedMessage = WM_APP + 2;
