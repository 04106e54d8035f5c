// The sizes and time limits of the WinMM ports. The defaults suit a librarian
// talking to one instrument; tests make the limits small to reach them fast.
#pragma once

#include <chrono>
#include <cstddef>

#include "druvhost/ports/sysx_assembler.h"

namespace druvhost::winmm {

struct WinmmPortOptions {
    // SysX input arrives in these buffers; while the port's thread empties
    // one, the others keep taking bytes.
    size_t inputBufferCount = 4;
    size_t inputBufferSize = 4096;
    // Larger SysX messages are refused on output and dropped, and counted, on
    // input.
    size_t maxSysXSize = kDefaultMaxSysXSize;
    // Short messages waiting for the input thread; more are dropped, and
    // counted, rather than held without bound.
    size_t maxWaitingShortMessages = 1024;
    // How long a long message may take beyond its time on a 31,250 baud wire
    // before the send is given up.
    std::chrono::milliseconds longMessageMargin{2000};
    // How long the driver has to give buffers back once told to (a reset).
    std::chrono::milliseconds bufferReturnWait{1000};
};

}  // namespace druvhost::winmm
