// Reading the flags of a MIDI header that the driver sets on a thread of its
// own: each read goes to memory, never to a copy the compiler kept.
#pragma once

#include <windows.h>
#include <mmsystem.h>

namespace druvhost::winmm {

inline DWORD HeaderFlags(const MIDIHDR& header) {
    const DWORD flags = *static_cast<const volatile DWORD*>(&header.dwFlags);
    MemoryBarrier();
    return flags;
}

inline bool HeaderIsDone(const MIDIHDR& header) { return (HeaderFlags(header) & MHDR_DONE) != 0; }

}  // namespace druvhost::winmm
