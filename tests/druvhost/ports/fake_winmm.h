// A stand-in for WinMM that plays the driver's part: it records the calls the
// ports make, fills input buffers and calls back as a driver would (from the
// test's thread, as from a driver thread), finishes long output messages on a
// thread of its own after a delay, and counts every call a real driver would
// refuse or be hurt by.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "druvhost/ports/winmm/winmm_api.h"

namespace druvhost::winmm::testing {

using Bytes = std::vector<uint8_t>;

class FakeWinmm final : public WinmmApi {
public:
    ~FakeWinmm() override;

    // Set up before use.
    std::vector<std::u16string> inputNames, outputNames;
    MMRESULT inOpenResult = MMSYSERR_NOERROR, outOpenResult = MMSYSERR_NOERROR;
    int failPrepareAt = -1;  // the input header whose preparing fails
    enum class LongEnd { kAfterDelay, kOnReset, kNever } longEnd = LongEnd::kAfterDelay;
    std::chrono::milliseconds longDelay{30};

    // The driver's side of the input. False when no buffer was queued in time.
    bool FillNextBuffer(const Bytes& bytes, UINT message = MIM_LONGDATA);
    void SendShort(DWORD packed);
    bool WaitForQueuedBuffers(size_t count);

    // What happened. `Log` lists the calls, one word each, in order.
    std::vector<std::string> Log() const;
    std::vector<Bytes> LongMessagesSent() const;
    std::vector<DWORD> ShortMessagesSent() const;
    size_t QueuedInputBuffers() const;
    size_t PreparedHeaders() const;
    size_t Misuses() const;  // calls a real driver refuses or that endanger memory
    bool InputOpen() const;
    bool OutputOpen() const;
    size_t CallbacksAfterClose() const;

    UINT midiInGetNumDevs() override;
    MMRESULT midiInGetDevCapsW(UINT_PTR id, MIDIINCAPSW* caps, UINT size) override;
    MMRESULT midiInGetErrorTextW(MMRESULT error, WCHAR* text, UINT units) override;
    MMRESULT midiInOpen(HMIDIIN* handle, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags) override;
    MMRESULT midiInPrepareHeader(HMIDIIN handle, MIDIHDR* header, UINT size) override;
    MMRESULT midiInUnprepareHeader(HMIDIIN handle, MIDIHDR* header, UINT size) override;
    MMRESULT midiInAddBuffer(HMIDIIN handle, MIDIHDR* header, UINT size) override;
    MMRESULT midiInStart(HMIDIIN handle) override;
    MMRESULT midiInStop(HMIDIIN handle) override;
    MMRESULT midiInReset(HMIDIIN handle) override;
    MMRESULT midiInClose(HMIDIIN handle) override;

    UINT midiOutGetNumDevs() override;
    MMRESULT midiOutGetDevCapsW(UINT_PTR id, MIDIOUTCAPSW* caps, UINT size) override;
    MMRESULT midiOutGetErrorTextW(MMRESULT error, WCHAR* text, UINT units) override;
    MMRESULT midiOutOpen(HMIDIOUT* handle, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags) override;
    MMRESULT midiOutShortMsg(HMIDIOUT handle, DWORD message) override;
    MMRESULT midiOutPrepareHeader(HMIDIOUT handle, MIDIHDR* header, UINT size) override;
    MMRESULT midiOutUnprepareHeader(HMIDIOUT handle, MIDIHDR* header, UINT size) override;
    MMRESULT midiOutLongMsg(HMIDIOUT handle, MIDIHDR* header, UINT size) override;
    MMRESULT midiOutReset(HMIDIOUT handle) override;
    MMRESULT midiOutClose(HMIDIOUT handle) override;

private:
    void Record(const std::string& call);  // with lock_ held
    void CallBack(UINT message, DWORD_PTR first);
    void FinishLong(MIDIHDR* header);  // with lock_ held

    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::vector<std::string> log_;
    bool inOpen_ = false, outOpen_ = false;
    DWORD_PTR inCallback_ = 0, inInstance_ = 0;
    HANDLE outEvent_ = nullptr;
    std::set<MIDIHDR*> prepared_;
    std::deque<MIDIHDR*> queued_;
    MIDIHDR* outPending_ = nullptr;
    std::vector<Bytes> longSent_;
    std::vector<DWORD> shortSent_;
    size_t misuses_ = 0, callbacksAfterClose_ = 0;
    int prepareCount_ = 0;
    std::vector<std::thread> drivers_;
};

}  // namespace druvhost::winmm::testing
