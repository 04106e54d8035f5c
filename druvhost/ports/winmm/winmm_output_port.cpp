#include "druvhost/ports/winmm/winmm_output_port.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "druvhost/ports/midi_message_bytes.h"
#include "druvhost/ports/winmm/midi_header_flags.h"
#include "druvhost/ports/winmm/winmm_text.h"

namespace druvhost::winmm {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A byte on the wire takes ten bits at 31,250 baud: 320 microseconds.
milliseconds WireTime(size_t bytes) {
    return milliseconds((uint64_t{bytes} * 320 + 999) / 1000);
}

// Wakes from waiting on the driver's event at least this often, so that a
// completion whose signal went astray costs at most this long.
constexpr milliseconds kPollInterval{20};

}  // namespace

struct WinmmOutputPort::LongMessage {
    std::vector<char> bytes;
    MIDIHDR header{};
};

WinmmOutputPort::WinmmOutputPort(std::shared_ptr<WinmmApi> api, const WinmmPortOptions& options)
    : api_(std::move(api)), options_(options) {}

std::unique_ptr<WinmmOutputPort> WinmmOutputPort::Open(std::shared_ptr<WinmmApi> api, UINT id,
                                                       const std::string& name,
                                                       const WinmmPortOptions& options,
                                                       std::string& error) {
    std::unique_ptr<WinmmOutputPort> port(new WinmmOutputPort(std::move(api), options));
    port->done_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (port->done_ == nullptr) {
        error = "could not open the MIDI output \"" + name + "\": no event for its completions (Windows error " +
                std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    HMIDIOUT handle = nullptr;
    const MMRESULT result = port->api_->midiOutOpen(
        &handle, id, reinterpret_cast<DWORD_PTR>(port->done_), 0, CALLBACK_EVENT);
    if (result != MMSYSERR_NOERROR || handle == nullptr) {
        error = "could not open the MIDI output \"" + name + "\": " +
                OutputErrorText(*port->api_, result != MMSYSERR_NOERROR ? result : MMSYSERR_ERROR);
        return nullptr;
    }
    port->handle_ = handle;
    return port;
}

WinmmOutputPort::~WinmmOutputPort() {
    std::lock_guard<std::mutex> guard(sendLock_);
    if (handle_ != nullptr) {
        if (!stranded_.empty()) {
            api_->midiOutReset(handle_);
            ReleaseStranded(options_.bufferReturnWait);
        }
        if (api_->midiOutClose(handle_) != MMSYSERR_NOERROR) {
            // The driver still holds something: neither the held copies nor
            // the event it signals may go away under it.
            for (auto& message : stranded_) message.release();
            done_ = nullptr;
        }
    }
    if (done_ != nullptr) CloseHandle(done_);
}

bool WinmmOutputPort::Send(const uint8_t* message, size_t size) {
    if (message == nullptr || size == 0) return false;
    std::lock_guard<std::mutex> guard(sendLock_);
    if (message[0] == kSysXStart) {
        if (!IsWholeSysX(message, size) || size > options_.maxSysXSize) return false;
        return SendLong(message, size);
    }
    uint32_t packed = 0;
    if (!PackShortMessage(message, size, packed)) return false;
    return api_->midiOutShortMsg(handle_, packed) == MMSYSERR_NOERROR;
}

size_t WinmmOutputPort::StrandedCount() const {
    std::lock_guard<std::mutex> guard(sendLock_);
    return stranded_.size();
}

bool WinmmOutputPort::SendLong(const uint8_t* message, size_t size) {
    // The driver still holds an earlier message: another one now would be a
    // second at a time, and copies piling up under a stuck driver.
    if (!stranded_.empty()) {
        ReleaseStranded(milliseconds(0));
        if (!stranded_.empty()) return false;
    }
    // The driver gets a copy: the caller may reuse its bytes as soon as Send
    // returns, even when the driver has not let go of them in time.
    auto pending = std::make_unique<LongMessage>();
    pending->bytes.assign(message, message + size);
    MIDIHDR& header = pending->header;
    header.lpData = pending->bytes.data();
    header.dwBufferLength = static_cast<DWORD>(size);
    header.dwBytesRecorded = static_cast<DWORD>(size);
    if (api_->midiOutPrepareHeader(handle_, &header, sizeof header) != MMSYSERR_NOERROR) return false;
    ResetEvent(done_);
    if (api_->midiOutLongMsg(handle_, &header, sizeof header) != MMSYSERR_NOERROR) {
        api_->midiOutUnprepareHeader(handle_, &header, sizeof header);
        return false;
    }
    const bool sent = WaitUntilDone(header, WireTime(size) * 2 + options_.longMessageMargin);
    // Given up on: a reset makes the driver return the message unsent.
    if (!sent) {
        api_->midiOutReset(handle_);
        WaitUntilDone(header, options_.bufferReturnWait);
    }
    if (!HeaderIsDone(header) ||
        api_->midiOutUnprepareHeader(handle_, &header, sizeof header) != MMSYSERR_NOERROR) {
        Strand(std::move(pending));
        return false;
    }
    return sent;
}

bool WinmmOutputPort::WaitUntilDone(const MIDIHDR& header, milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (!HeaderIsDone(header)) {
        const auto now = Clock::now();
        if (now >= deadline) return false;
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - now) + milliseconds(1);
        WaitForSingleObject(done_, static_cast<DWORD>(std::min(left, kPollInterval).count()));
    }
    return true;
}

void WinmmOutputPort::Strand(std::unique_ptr<LongMessage> message) {
    stranded_.push_back(std::move(message));
}

void WinmmOutputPort::ReleaseStranded(milliseconds wait) {
    for (auto& message : stranded_) {
        WaitUntilDone(message->header, wait);
        if (HeaderIsDone(message->header) &&
            api_->midiOutUnprepareHeader(handle_, &message->header, sizeof message->header) ==
                MMSYSERR_NOERROR) {
            message.reset();
        }
    }
    stranded_.erase(std::remove(stranded_.begin(), stranded_.end(), nullptr), stranded_.end());
}

}  // namespace druvhost::winmm
