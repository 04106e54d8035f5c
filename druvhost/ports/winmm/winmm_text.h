// Texts from WinMM in UTF-8: port names as the system gives them, and error
// texts for the messages our ports give when the system refuses something.
#pragma once

#include <string>
#include <vector>

#include "druvhost/ports/winmm/winmm_api.h"

namespace druvhost::winmm {

// Every port in the system's order; a port whose description cannot be read
// keeps its place under a stand-in name, so that indexes still open the
// right port.
std::vector<std::string> InputPortNames(WinmmApi& api);
std::vector<std::string> OutputPortNames(WinmmApi& api);

// "<the system's text> (WinMM error N)", or just the number when the system
// has no text for it.
std::string InputErrorText(WinmmApi& api, MMRESULT error);
std::string OutputErrorText(WinmmApi& api, MMRESULT error);

}  // namespace druvhost::winmm
