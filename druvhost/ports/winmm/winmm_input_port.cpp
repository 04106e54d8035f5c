#include "druvhost/ports/winmm/winmm_input_port.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <vector>

#include "druvhost/ports/input_event_queue.h"
#include "druvhost/ports/midi_message_bytes.h"
#include "druvhost/ports/winmm/winmm_text.h"

namespace druvhost::winmm {

namespace {
using std::chrono::milliseconds;
// The port thread wakes at least this often, whatever comes.
constexpr milliseconds kWakeInterval{100};
constexpr size_t kMinBufferSize = 64;
constexpr size_t kNoBuffer = static_cast<size_t>(-1);
}  // namespace

struct WinmmInputPort::Buffer {
    std::vector<char> bytes;
    MIDIHDR header{};
    bool prepared = false;
    // Between handing it to the system and the system's callback handing it
    // back. Only a buffer the system does not hold may be unprepared or freed.
    std::atomic<bool> withSystem{false};
};

struct WinmmInputPort::Shared {
    Shared(const WinmmPortOptions& options)
        : queue(options.maxWaitingShortMessages, std::max<size_t>(options.inputBufferCount, 1)) {}

    // The index of `header` among our buffers; the system's pointer is
    // compared, never followed, until it is known to be ours.
    size_t IndexOf(DWORD_PTR header) const {
        for (size_t i = 0; i < buffers.size(); ++i) {
            if (reinterpret_cast<DWORD_PTR>(&buffers[i]->header) == header) return i;
        }
        return kNoBuffer;
    }

    InputEventQueue queue;
    std::vector<std::unique_ptr<Buffer>> buffers;  // fixed once the port opens
    std::atomic<bool> stopping{false};
};

WinmmInputPort::WinmmInputPort(std::shared_ptr<WinmmApi> api, MidiMessageSink sink,
                               const WinmmPortOptions& options)
    : api_(std::move(api)),
      sink_(std::move(sink)),
      options_(options),
      shared_(std::make_unique<Shared>(options)),
      assembler_(options.maxSysXSize) {
    const size_t count = std::max<size_t>(options.inputBufferCount, 1);
    const size_t size = std::max(options.inputBufferSize, kMinBufferSize);
    for (size_t i = 0; i < count; ++i) {
        auto buffer = std::make_unique<Buffer>();
        buffer->bytes.resize(size);
        buffer->header.lpData = buffer->bytes.data();
        buffer->header.dwBufferLength = static_cast<DWORD>(size);
        buffer->header.dwUser = i;
        shared_->buffers.push_back(std::move(buffer));
    }
}

std::unique_ptr<WinmmInputPort> WinmmInputPort::Open(std::shared_ptr<WinmmApi> api, UINT id,
                                                     const std::string& name, MidiMessageSink sink,
                                                     const WinmmPortOptions& options,
                                                     std::string& error) {
    if (!sink) {
        error = "could not open the MIDI input \"" + name + "\": nothing to take its messages";
        return nullptr;
    }
    std::unique_ptr<WinmmInputPort> port(new WinmmInputPort(std::move(api), std::move(sink), options));
    if (!port->Start(id, name, error)) return nullptr;
    return port;
}

bool WinmmInputPort::Start(UINT id, const std::string& name, std::string& error) {
    const std::string failed = "could not open the MIDI input \"" + name + "\": ";
    HMIDIIN handle = nullptr;
    MMRESULT result = api_->midiInOpen(&handle, id, reinterpret_cast<DWORD_PTR>(&OnSystemEvent),
                                       reinterpret_cast<DWORD_PTR>(shared_.get()), CALLBACK_FUNCTION);
    if (result != MMSYSERR_NOERROR || handle == nullptr) {
        error = failed + InputErrorText(*api_, result != MMSYSERR_NOERROR ? result : MMSYSERR_ERROR);
        return false;
    }
    handle_ = handle;
    for (auto& buffer : shared_->buffers) {
        result = api_->midiInPrepareHeader(handle_, &buffer->header, sizeof buffer->header);
        if (result != MMSYSERR_NOERROR) {
            error = failed + "its SysX buffers were refused: " + InputErrorText(*api_, result);
            return false;
        }
        buffer->prepared = true;
    }
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error& e) {
        error = failed + "no thread for it: " + e.what();
        return false;
    }
    for (auto& buffer : shared_->buffers) {
        if (!Requeue(*buffer)) {
            error = failed + "its SysX buffers were refused";
            return false;
        }
    }
    result = api_->midiInStart(handle_);
    if (result != MMSYSERR_NOERROR) {
        error = failed + "it would not start: " + InputErrorText(*api_, result);
        return false;
    }
    return true;
}

WinmmInputPort::~WinmmInputPort() {
    {
        std::lock_guard<std::mutex> guard(requeueLock_);
        shared_->stopping = true;
    }
    shared_->queue.Close();
    if (handle_ != nullptr) {
        api_->midiInStop(handle_);
        // Returns every buffer the system holds, through the callback.
        api_->midiInReset(handle_);
    }
    if (thread_.joinable()) thread_.join();
    if (handle_ == nullptr) return;
    WaitForBuffersBack();
    bool allUnprepared = true;
    for (auto& buffer : shared_->buffers) {
        if (!buffer->prepared) continue;
        if (buffer->withSystem ||
            api_->midiInUnprepareHeader(handle_, &buffer->header, sizeof buffer->header) != MMSYSERR_NOERROR) {
            allUnprepared = false;
        } else {
            buffer->prepared = false;
        }
    }
    if (!allUnprepared || api_->midiInClose(handle_) != MMSYSERR_NOERROR) {
        // The system may still write into the buffers or call back with
        // them: they stay where they are, for the rest of the process.
        shared_.release();
    }
}

WinmmInputCounts WinmmInputPort::Counts() const {
    WinmmInputCounts counts;
    counts.sysxTooLong = sysxTooLong_;
    counts.sysxCutShort = sysxCutShort_;
    counts.sysxBroken = sysxBroken_;
    counts.strayBytes = strayBytes_;
    counts.brokenShort = brokenShort_;
    counts.droppedShort = shared_ != nullptr ? shared_->queue.DroppedCount() : 0;
    counts.failedRequeues = failedRequeues_;
    counts.sinkFailures = sinkFailures_;
    return counts;
}

void CALLBACK WinmmInputPort::OnSystemEvent(HMIDIIN, UINT message, DWORD_PTR instance,
                                            DWORD_PTR first, DWORD_PTR) {
    // Called by the system, perhaps while it holds locks of its own: nothing
    // here calls back into WinMM or waits for long.
    auto* shared = reinterpret_cast<Shared*>(instance);
    if (shared == nullptr) return;
    InputEvent event;
    switch (message) {
    case MIM_DATA:
    case MIM_MOREDATA:
        event.kind = InputEvent::Kind::kShort;
        event.packed = static_cast<uint32_t>(first);
        break;
    case MIM_ERROR:
        event.kind = InputEvent::Kind::kBrokenShort;
        break;
    case MIM_LONGDATA:
    case MIM_LONGERROR: {
        const size_t index = shared->IndexOf(first);
        if (index == kNoBuffer) return;
        shared->buffers[index]->withSystem = false;
        event.kind = message == MIM_LONGDATA ? InputEvent::Kind::kBuffer : InputEvent::Kind::kBrokenBuffer;
        event.buffer = index;
        break;
    }
    default:  // MIM_OPEN, MIM_CLOSE
        return;
    }
    if (!shared->stopping) shared->queue.Push(event);
}

void WinmmInputPort::Run() {
    while (!shared_->stopping) {
        const auto event = shared_->queue.Pop(kWakeInterval);
        if (!event || shared_->stopping) continue;
        switch (event->kind) {
        case InputEvent::Kind::kShort: {
            uint8_t bytes[3];
            const size_t length = UnpackShortMessage(event->packed, bytes);
            if (length == 0) {
                ++brokenShort_;
            } else {
                Deliver(bytes, length);
            }
            break;
        }
        case InputEvent::Kind::kBrokenShort:
            ++brokenShort_;
            break;
        case InputEvent::Kind::kBuffer:
        case InputEvent::Kind::kBrokenBuffer:
            TakeBuffer(*shared_->buffers[event->buffer], event->kind == InputEvent::Kind::kBrokenBuffer);
            break;
        }
    }
}

void WinmmInputPort::TakeBuffer(Buffer& buffer, bool broken) {
    if (broken) {
        // The system says the SysX in it is incomplete or invalid: whatever
        // of it we hold from earlier buffers goes with it.
        ++sysxBroken_;
        assembler_.Abort();
    } else {
        const size_t recorded = std::min<size_t>(buffer.header.dwBytesRecorded, buffer.bytes.size());
        assembler_.Feed(reinterpret_cast<const uint8_t*>(buffer.bytes.data()), recorded,
                        [this](const uint8_t* message, size_t size) { Deliver(message, size); });
    }
    PublishAssemblerCounts();
    Requeue(buffer);
}

bool WinmmInputPort::Requeue(Buffer& buffer) {
    std::lock_guard<std::mutex> guard(requeueLock_);
    if (shared_->stopping) return false;
    buffer.header.dwBytesRecorded = 0;
    buffer.header.dwFlags &= ~static_cast<DWORD>(MHDR_DONE);
    buffer.withSystem = true;
    if (api_->midiInAddBuffer(handle_, &buffer.header, sizeof buffer.header) != MMSYSERR_NOERROR) {
        buffer.withSystem = false;
        ++failedRequeues_;
        return false;
    }
    return true;
}

void WinmmInputPort::Deliver(const uint8_t* message, size_t size) {
    if (shared_->stopping) return;
    try {
        sink_(message, size);
    } catch (...) {
        // A sink that throws must not end the port's thread, and with it the
        // process; the message is lost and counted.
        ++sinkFailures_;
    }
}

void WinmmInputPort::PublishAssemblerCounts() {
    const SysXAssemblerCounts& counts = assembler_.Counts();
    sysxTooLong_ = counts.tooLong;
    sysxCutShort_ = counts.cutShort;
    strayBytes_ = counts.strayBytes;
}

void WinmmInputPort::WaitForBuffersBack() {
    const auto deadline = std::chrono::steady_clock::now() + options_.bufferReturnWait;
    for (;;) {
        const bool allBack = std::none_of(shared_->buffers.begin(), shared_->buffers.end(),
                                          [](const auto& buffer) { return buffer->withSystem.load(); });
        if (allBack || std::chrono::steady_clock::now() >= deadline) return;
        Sleep(5);
    }
}

}  // namespace druvhost::winmm
