#include "tests/druvhost/ports/fake_winmm.h"

#include <algorithm>
#include <cstring>

namespace druvhost::winmm::testing {

namespace {
const HMIDIIN kInHandle = reinterpret_cast<HMIDIIN>(0x1001);
const HMIDIOUT kOutHandle = reinterpret_cast<HMIDIOUT>(0x2002);
constexpr std::chrono::seconds kWait{5};

template <typename Caps>
MMRESULT FillCaps(const std::vector<std::u16string>& names, UINT_PTR id, Caps* caps, UINT size) {
    if (id >= names.size() || size < sizeof(Caps)) return MMSYSERR_BADDEVICEID;
    *caps = Caps{};
    // No NUL when the name fills the field, as the field allows.
    std::memcpy(caps->szPname, names[id].data(), std::min<size_t>(names[id].size(), MAXPNAMELEN) * 2);
    return names[id] == u"<unreadable>" ? MMSYSERR_ERROR : MMSYSERR_NOERROR;
}

MMRESULT ErrorText(MMRESULT error, WCHAR* text, UINT units) {
    if (error != MMSYSERR_ALLOCATED) return MMSYSERR_BADERRNUM;
    const std::u16string message = u"The device is in use.";
    std::memcpy(text, message.c_str(), std::min<size_t>(message.size() + 1, units) * 2);
    return MMSYSERR_NOERROR;
}
}  // namespace

FakeWinmm::~FakeWinmm() {
    for (auto& thread : drivers_) thread.join();
}

void FakeWinmm::Record(const std::string& call) {
    log_.push_back(call);
    changed_.notify_all();
}

void FakeWinmm::CallBack(UINT message, DWORD_PTR first) {
    DWORD_PTR callback, instance;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!inOpen_) {
            ++callbacksAfterClose_;
            return;
        }
        callback = inCallback_;
        instance = inInstance_;
    }
    using InputCallback = void(CALLBACK*)(HMIDIIN, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);
    reinterpret_cast<InputCallback>(callback)(kInHandle, message, instance, first, 0);
}

bool FakeWinmm::FillNextBuffer(const Bytes& bytes, UINT message) {
    MIDIHDR* header = nullptr;
    {
        std::unique_lock<std::mutex> guard(lock_);
        if (!changed_.wait_for(guard, kWait, [this] { return !queued_.empty(); })) return false;
        header = queued_.front();
        queued_.pop_front();
        const size_t size = std::min<size_t>(bytes.size(), header->dwBufferLength);
        std::memcpy(header->lpData, bytes.data(), size);
        header->dwBytesRecorded = static_cast<DWORD>(size);
        header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
    }
    CallBack(message, reinterpret_cast<DWORD_PTR>(header));
    return true;
}

void FakeWinmm::SendShort(DWORD packed) { CallBack(MIM_DATA, packed); }

bool FakeWinmm::WaitForQueuedBuffers(size_t count) {
    std::unique_lock<std::mutex> guard(lock_);
    return changed_.wait_for(guard, kWait, [&] { return queued_.size() == count; });
}

std::vector<std::string> FakeWinmm::Log() const {
    std::lock_guard<std::mutex> guard(lock_);
    return log_;
}
std::vector<Bytes> FakeWinmm::LongMessagesSent() const {
    std::lock_guard<std::mutex> guard(lock_);
    return longSent_;
}
std::vector<DWORD> FakeWinmm::ShortMessagesSent() const {
    std::lock_guard<std::mutex> guard(lock_);
    return shortSent_;
}
size_t FakeWinmm::QueuedInputBuffers() const {
    std::lock_guard<std::mutex> guard(lock_);
    return queued_.size();
}
size_t FakeWinmm::PreparedHeaders() const {
    std::lock_guard<std::mutex> guard(lock_);
    return prepared_.size();
}
size_t FakeWinmm::Misuses() const {
    std::lock_guard<std::mutex> guard(lock_);
    return misuses_;
}
bool FakeWinmm::InputOpen() const {
    std::lock_guard<std::mutex> guard(lock_);
    return inOpen_;
}
bool FakeWinmm::OutputOpen() const {
    std::lock_guard<std::mutex> guard(lock_);
    return outOpen_;
}
size_t FakeWinmm::CallbacksAfterClose() const {
    std::lock_guard<std::mutex> guard(lock_);
    return callbacksAfterClose_;
}

UINT FakeWinmm::midiInGetNumDevs() { return static_cast<UINT>(inputNames.size()); }
MMRESULT FakeWinmm::midiInGetDevCapsW(UINT_PTR id, MIDIINCAPSW* caps, UINT size) {
    return FillCaps(inputNames, id, caps, size);
}
MMRESULT FakeWinmm::midiInGetErrorTextW(MMRESULT error, WCHAR* text, UINT units) {
    return ErrorText(error, text, units);
}

MMRESULT FakeWinmm::midiInOpen(HMIDIIN* handle, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        Record("in-open");
        if (inOpenResult != MMSYSERR_NOERROR) return inOpenResult;
        if (inOpen_ || (flags & CALLBACK_TYPEMASK) != CALLBACK_FUNCTION) {
            ++misuses_;
            return MMSYSERR_INVALPARAM;
        }
        inOpen_ = true;
        inCallback_ = callback;
        inInstance_ = instance;
        *handle = kInHandle;
    }
    CallBack(MIM_OPEN, 0);
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWinmm::midiInPrepareHeader(HMIDIIN, MIDIHDR* header, UINT) {
    std::lock_guard<std::mutex> guard(lock_);
    Record("in-prepare");
    if (prepareCount_++ == failPrepareAt) return MMSYSERR_NOMEM;
    prepared_.insert(header);
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWinmm::midiInUnprepareHeader(HMIDIIN, MIDIHDR* header, UINT) {
    std::lock_guard<std::mutex> guard(lock_);
    Record("in-unprepare");
    if (std::find(queued_.begin(), queued_.end(), header) != queued_.end()) {
        ++misuses_;
        return MIDIERR_STILLPLAYING;
    }
    prepared_.erase(header);
    header->dwFlags &= ~MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWinmm::midiInAddBuffer(HMIDIIN, MIDIHDR* header, UINT) {
    std::lock_guard<std::mutex> guard(lock_);
    Record("in-add");
    if (!prepared_.count(header) || std::find(queued_.begin(), queued_.end(), header) != queued_.end()) {
        ++misuses_;
        return MIDIERR_UNPREPARED;
    }
    // The driver owns the buffer from now on and may write into it at once:
    // whatever the port had not taken from it yet is gone.
    std::memset(header->lpData, 0x55, header->dwBufferLength);
    header->dwFlags = (header->dwFlags & ~MHDR_DONE) | MHDR_INQUEUE;
    queued_.push_back(header);
    changed_.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWinmm::midiInStart(HMIDIIN) {
    std::lock_guard<std::mutex> guard(lock_);
    Record("in-start");
    return MMSYSERR_NOERROR;
}
MMRESULT FakeWinmm::midiInStop(HMIDIIN) {
    std::lock_guard<std::mutex> guard(lock_);
    Record("in-stop");
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWinmm::midiInReset(HMIDIIN) {
    std::deque<MIDIHDR*> returned;
    {
        std::lock_guard<std::mutex> guard(lock_);
        Record("in-reset");
        returned.swap(queued_);
        for (MIDIHDR* header : returned) {
            header->dwBytesRecorded = 0;
            header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
        }
    }
    for (MIDIHDR* header : returned) CallBack(MIM_LONGDATA, reinterpret_cast<DWORD_PTR>(header));
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWinmm::midiInClose(HMIDIIN) {
    std::lock_guard<std::mutex> guard(lock_);
    Record("in-close");
    if (!queued_.empty()) {
        ++misuses_;
        return MIDIERR_STILLPLAYING;
    }
    inOpen_ = false;
    return MMSYSERR_NOERROR;
}

UINT FakeWinmm::midiOutGetNumDevs() { return static_cast<UINT>(outputNames.size()); }
MMRESULT FakeWinmm::midiOutGetDevCapsW(UINT_PTR id, MIDIOUTCAPSW* caps, UINT size) {
    return FillCaps(outputNames, id, caps, size);
}
MMRESULT FakeWinmm::midiOutGetErrorTextW(MMRESULT error, WCHAR* text, UINT units) {
    return ErrorText(error, text, units);
}

MMRESULT FakeWinmm::midiOutOpen(HMIDIOUT* handle, UINT, DWORD_PTR callback, DWORD_PTR, DWORD flags) {
    std::lock_guard<std::mutex> guard(lock_);
    Record("out-open");
    if (outOpenResult != MMSYSERR_NOERROR) return outOpenResult;
    if (outOpen_ || (flags & CALLBACK_TYPEMASK) != CALLBACK_EVENT) {
        ++misuses_;
        return MMSYSERR_INVALPARAM;
    }
    outOpen_ = true;
    outEvent_ = reinterpret_cast<HANDLE>(callback);
    *handle = kOutHandle;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWinmm::midiOutShortMsg(HMIDIOUT, DWORD message) {
    std::lock_guard<std::mutex> guard(lock_);
    Record("out-short");
    shortSent_.push_back(message);
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWinmm::midiOutPrepareHeader(HMIDIOUT, MIDIHDR* header, UINT) {
    std::lock_guard<std::mutex> guard(lock_);
    Record("out-prepare");
    prepared_.insert(header);
    header->dwFlags = MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWinmm::midiOutUnprepareHeader(HMIDIOUT, MIDIHDR* header, UINT) {
    std::lock_guard<std::mutex> guard(lock_);
    Record("out-unprepare");
    if (header == outPending_) {
        ++misuses_;
        return MIDIERR_STILLPLAYING;
    }
    prepared_.erase(header);
    header->dwFlags &= ~MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

void FakeWinmm::FinishLong(MIDIHDR* header) {
    // The bytes count as sent only now: a port that let go of them earlier
    // shows here as other bytes.
    const auto* data = reinterpret_cast<const uint8_t*>(header->lpData);
    longSent_.emplace_back(data, data + header->dwBufferLength);
    header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
    outPending_ = nullptr;
    Record("out-done");
    SetEvent(outEvent_);
}

MMRESULT FakeWinmm::midiOutLongMsg(HMIDIOUT, MIDIHDR* header, UINT) {
    std::lock_guard<std::mutex> guard(lock_);
    Record("out-long");
    if (!prepared_.count(header) || outPending_ != nullptr) {
        ++misuses_;
        return MIDIERR_NOTREADY;
    }
    outPending_ = header;
    header->dwFlags |= MHDR_INQUEUE;
    if (longEnd == LongEnd::kAfterDelay) {
        drivers_.emplace_back([this, header] {
            std::this_thread::sleep_for(longDelay);
            std::lock_guard<std::mutex> later(lock_);
            if (outPending_ == header) FinishLong(header);
        });
    }
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWinmm::midiOutReset(HMIDIOUT) {
    std::lock_guard<std::mutex> guard(lock_);
    Record("out-reset");
    if (outPending_ != nullptr && longEnd != LongEnd::kNever) FinishLong(outPending_);
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWinmm::midiOutClose(HMIDIOUT) {
    std::lock_guard<std::mutex> guard(lock_);
    Record("out-close");
    if (outPending_ != nullptr) return MIDIERR_STILLPLAYING;
    outOpen_ = false;
    return MMSYSERR_NOERROR;
}

}  // namespace druvhost::winmm::testing
