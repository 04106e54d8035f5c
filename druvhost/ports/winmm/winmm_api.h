// The WinMM functions the ports use, behind an interface so that the buffer
// handling can be driven by a stand-in that records every call and plays the
// driver's part. Each member is named after, and behaves as, the function of
// the same name; the system's table forwards to it unchanged.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <memory>

namespace druvhost::winmm {

class WinmmApi {
public:
    virtual ~WinmmApi() = default;

    virtual UINT midiInGetNumDevs() = 0;
    virtual MMRESULT midiInGetDevCapsW(UINT_PTR id, MIDIINCAPSW* caps, UINT size) = 0;
    virtual MMRESULT midiInGetErrorTextW(MMRESULT error, WCHAR* text, UINT units) = 0;
    virtual MMRESULT midiInOpen(HMIDIIN* handle, UINT id, DWORD_PTR callback, DWORD_PTR instance,
                                DWORD flags) = 0;
    virtual MMRESULT midiInPrepareHeader(HMIDIIN handle, MIDIHDR* header, UINT size) = 0;
    virtual MMRESULT midiInUnprepareHeader(HMIDIIN handle, MIDIHDR* header, UINT size) = 0;
    virtual MMRESULT midiInAddBuffer(HMIDIIN handle, MIDIHDR* header, UINT size) = 0;
    virtual MMRESULT midiInStart(HMIDIIN handle) = 0;
    virtual MMRESULT midiInStop(HMIDIIN handle) = 0;
    virtual MMRESULT midiInReset(HMIDIIN handle) = 0;
    virtual MMRESULT midiInClose(HMIDIIN handle) = 0;

    virtual UINT midiOutGetNumDevs() = 0;
    virtual MMRESULT midiOutGetDevCapsW(UINT_PTR id, MIDIOUTCAPSW* caps, UINT size) = 0;
    virtual MMRESULT midiOutGetErrorTextW(MMRESULT error, WCHAR* text, UINT units) = 0;
    virtual MMRESULT midiOutOpen(HMIDIOUT* handle, UINT id, DWORD_PTR callback, DWORD_PTR instance,
                                 DWORD flags) = 0;
    virtual MMRESULT midiOutShortMsg(HMIDIOUT handle, DWORD message) = 0;
    virtual MMRESULT midiOutPrepareHeader(HMIDIOUT handle, MIDIHDR* header, UINT size) = 0;
    virtual MMRESULT midiOutUnprepareHeader(HMIDIOUT handle, MIDIHDR* header, UINT size) = 0;
    virtual MMRESULT midiOutLongMsg(HMIDIOUT handle, MIDIHDR* header, UINT size) = 0;
    virtual MMRESULT midiOutReset(HMIDIOUT handle) = 0;
    virtual MMRESULT midiOutClose(HMIDIOUT handle) = 0;
};

// The machine's WinMM.
std::shared_ptr<WinmmApi> SystemWinmmApi();

}  // namespace druvhost::winmm
