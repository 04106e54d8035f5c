// A WinMM MIDI input. The system's callback only records what came and wakes
// the port's own thread; that thread unpacks short messages, joins the SysX
// pieces of the input buffers into whole messages, calls the sink, and gives
// each buffer back to the system once its bytes are taken. On destruction the
// input stops, the system returns every buffer, and the thread ends after the
// last sink call has returned. The sink must not destroy its own port.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "druvhost/ports/midi_port_system.h"
#include "druvhost/ports/sysx_assembler.h"
#include "druvhost/ports/winmm/winmm_api.h"
#include "druvhost/ports/winmm/winmm_port_options.h"

namespace druvhost::winmm {

// What the input dropped, and why, since it opened.
struct WinmmInputCounts {
    size_t sysxTooLong = 0;     // over the size limit
    size_t sysxCutShort = 0;    // broken off before their F7
    size_t sysxBroken = 0;      // buffers the system returned as holding a broken SysX
    size_t strayBytes = 0;      // bytes in buffers outside any SysX
    size_t brokenShort = 0;     // short messages the system or we found invalid
    size_t droppedShort = 0;    // short messages that found the queue full
    size_t failedRequeues = 0;  // buffers the system would not take back
    size_t sinkFailures = 0;    // sink calls that threw
};

class WinmmInputPort final : public MidiInputPort {
public:
    // Null, with `error` saying why, when the port cannot be opened and
    // started; whatever was set up is undone by then.
    static std::unique_ptr<WinmmInputPort> Open(std::shared_ptr<WinmmApi> api, UINT id,
                                                const std::string& name, MidiMessageSink sink,
                                                const WinmmPortOptions& options, std::string& error);
    ~WinmmInputPort() override;

    WinmmInputCounts Counts() const;

private:
    struct Buffer;
    struct Shared;

    WinmmInputPort(std::shared_ptr<WinmmApi> api, MidiMessageSink sink, const WinmmPortOptions& options);
    static void CALLBACK OnSystemEvent(HMIDIIN handle, UINT message, DWORD_PTR instance,
                                       DWORD_PTR first, DWORD_PTR second);
    bool Start(UINT id, const std::string& name, std::string& error);
    void Run();
    void TakeBuffer(Buffer& buffer, bool broken);
    bool Requeue(Buffer& buffer);
    void Deliver(const uint8_t* message, size_t size);
    void PublishAssemblerCounts();
    void WaitForBuffersBack();

    std::shared_ptr<WinmmApi> api_;
    MidiMessageSink sink_;
    WinmmPortOptions options_;
    HMIDIIN handle_ = nullptr;
    // What the system's callback touches; it must outlive every callback.
    std::unique_ptr<Shared> shared_;
    // Handing a buffer back and stopping exclude each other, so that no
    // buffer goes back to the system once the reset has returned them all.
    std::mutex requeueLock_;
    // The port thread's own.
    SysXAssembler assembler_;
    std::thread thread_;

    std::atomic<size_t> sysxTooLong_{0};
    std::atomic<size_t> sysxCutShort_{0};
    std::atomic<size_t> sysxBroken_{0};
    std::atomic<size_t> strayBytes_{0};
    std::atomic<size_t> brokenShort_{0};
    std::atomic<size_t> failedRequeues_{0};
    std::atomic<size_t> sinkFailures_{0};
};

}  // namespace druvhost::winmm
