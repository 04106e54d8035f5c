// A WinMM MIDI output. Short messages go out whole with midiOutShortMsg; a
// SysX message goes out as a long message from a copy of its bytes, one at a
// time, and Send waits, within a time scaled to the message's length, until
// the driver gives the copy back. A copy the driver still holds when that
// time is up is never freed under it: it is kept until the driver gives it
// back (no other long message goes out until then), and left alone even
// after closing if the driver will not let go.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "druvhost/ports/midi_port_system.h"
#include "druvhost/ports/winmm/winmm_api.h"
#include "druvhost/ports/winmm/winmm_port_options.h"

namespace druvhost::winmm {

class WinmmOutputPort final : public MidiOutputPort {
public:
    // Null, with `error` saying why, when the system cannot open the port.
    static std::unique_ptr<WinmmOutputPort> Open(std::shared_ptr<WinmmApi> api, UINT id,
                                                 const std::string& name,
                                                 const WinmmPortOptions& options,
                                                 std::string& error);
    ~WinmmOutputPort() override;

    bool Send(const uint8_t* message, size_t size) override;

    // Long messages the driver did not give back in time.
    size_t StrandedCount() const;

private:
    struct LongMessage;

    WinmmOutputPort(std::shared_ptr<WinmmApi> api, const WinmmPortOptions& options);
    bool SendLong(const uint8_t* message, size_t size);
    bool WaitUntilDone(const MIDIHDR& header, std::chrono::milliseconds limit);
    void Strand(std::unique_ptr<LongMessage> message);
    // Frees the held copies the driver has given back within `wait`.
    void ReleaseStranded(std::chrono::milliseconds wait);

    std::shared_ptr<WinmmApi> api_;
    WinmmPortOptions options_;
    HMIDIOUT handle_ = nullptr;
    // Signalled by the driver each time it is done with a long message.
    HANDLE done_ = nullptr;
    // One message at a time: a short one never slips into a long one, and a
    // long one is done before the next starts.
    mutable std::mutex sendLock_;
    std::vector<std::unique_ptr<LongMessage>> stranded_;
};

}  // namespace druvhost::winmm
