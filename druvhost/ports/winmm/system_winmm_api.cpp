#include "druvhost/ports/winmm/winmm_api.h"

namespace druvhost::winmm {

namespace {

class SystemWinmm final : public WinmmApi {
public:
    UINT midiInGetNumDevs() override { return ::midiInGetNumDevs(); }
    MMRESULT midiInGetDevCapsW(UINT_PTR id, MIDIINCAPSW* caps, UINT size) override {
        return ::midiInGetDevCapsW(id, caps, size);
    }
    MMRESULT midiInGetErrorTextW(MMRESULT error, WCHAR* text, UINT units) override {
        return ::midiInGetErrorTextW(error, text, units);
    }
    MMRESULT midiInOpen(HMIDIIN* handle, UINT id, DWORD_PTR callback, DWORD_PTR instance,
                        DWORD flags) override {
        return ::midiInOpen(handle, id, callback, instance, flags);
    }
    MMRESULT midiInPrepareHeader(HMIDIIN handle, MIDIHDR* header, UINT size) override {
        return ::midiInPrepareHeader(handle, header, size);
    }
    MMRESULT midiInUnprepareHeader(HMIDIIN handle, MIDIHDR* header, UINT size) override {
        return ::midiInUnprepareHeader(handle, header, size);
    }
    MMRESULT midiInAddBuffer(HMIDIIN handle, MIDIHDR* header, UINT size) override {
        return ::midiInAddBuffer(handle, header, size);
    }
    MMRESULT midiInStart(HMIDIIN handle) override { return ::midiInStart(handle); }
    MMRESULT midiInStop(HMIDIIN handle) override { return ::midiInStop(handle); }
    MMRESULT midiInReset(HMIDIIN handle) override { return ::midiInReset(handle); }
    MMRESULT midiInClose(HMIDIIN handle) override { return ::midiInClose(handle); }

    UINT midiOutGetNumDevs() override { return ::midiOutGetNumDevs(); }
    MMRESULT midiOutGetDevCapsW(UINT_PTR id, MIDIOUTCAPSW* caps, UINT size) override {
        return ::midiOutGetDevCapsW(id, caps, size);
    }
    MMRESULT midiOutGetErrorTextW(MMRESULT error, WCHAR* text, UINT units) override {
        return ::midiOutGetErrorTextW(error, text, units);
    }
    MMRESULT midiOutOpen(HMIDIOUT* handle, UINT id, DWORD_PTR callback, DWORD_PTR instance,
                         DWORD flags) override {
        return ::midiOutOpen(handle, id, callback, instance, flags);
    }
    MMRESULT midiOutShortMsg(HMIDIOUT handle, DWORD message) override {
        return ::midiOutShortMsg(handle, message);
    }
    MMRESULT midiOutPrepareHeader(HMIDIOUT handle, MIDIHDR* header, UINT size) override {
        return ::midiOutPrepareHeader(handle, header, size);
    }
    MMRESULT midiOutUnprepareHeader(HMIDIOUT handle, MIDIHDR* header, UINT size) override {
        return ::midiOutUnprepareHeader(handle, header, size);
    }
    MMRESULT midiOutLongMsg(HMIDIOUT handle, MIDIHDR* header, UINT size) override {
        return ::midiOutLongMsg(handle, header, size);
    }
    MMRESULT midiOutReset(HMIDIOUT handle) override { return ::midiOutReset(handle); }
    MMRESULT midiOutClose(HMIDIOUT handle) override { return ::midiOutClose(handle); }
};

}  // namespace

std::shared_ptr<WinmmApi> SystemWinmmApi() {
    static const std::shared_ptr<WinmmApi> api = std::make_shared<SystemWinmm>();
    return api;
}

}  // namespace druvhost::winmm
