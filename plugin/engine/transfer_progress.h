// Progress and messages of one transfer, shown by the host through its
// progress sink. Each text is built for its call, handed over as UTF-16 and
// freed as soon as the call returns.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "contract/text_limits.h"
#include "plugin/abi/host_interfaces.h"

class Clock;

// Texts the host shows are cut to this many bytes.
constexpr size_t kMaxProgressTextLength = kMaxTextLength;

extern const char kManualDumpPrompt[];

class TransferProgress {
public:
    // `bytesDone` and `total` are the transfer's counters, shared by all its
    // reporters. A receive with a request length of 0 is a manual dump: the
    // prompt is shown at once and given up to 3 seconds to be read (less if
    // `abort` is set meanwhile). A null sink takes no calls.
    TransferProgress(IMPProgressSink* sink, void* context, uint32_t& bytesDone, uint32_t& total, const char* name,
                     const std::atomic<bool>& abort, bool receiving, uint32_t requestLength, Clock& clock);
    TransferProgress(const TransferProgress&) = delete;
    TransferProgress& operator=(const TransferProgress&) = delete;

    // The status text with bytes done + `pending`.
    void Update(uint32_t pending);
    // Counts `bytes` as done, without a call.
    void Advance(uint32_t bytes);
    // `text` with bytes done + `pending`, then up to 1.5 seconds to read it.
    void ShowMessage(const char* text, uint32_t pending);

    // One call as given; a null text passes no text.
    void Report(uint32_t bytesDone, uint32_t total, const char* text);

    const std::string& Name() const { return name_; }
    void SetName(const char* name);  // cut to 255 bytes

    // The status text Update shows for bytes done + `pending`.
    std::string StatusText(uint32_t pending) const;

private:
    // Up to `steps` sleeps of 100 ms, none once the abort flag is seen.
    void PauseUnlessAborted(int steps);

    IMPProgressSink* sink_;
    void* context_;
    uint32_t& bytes_done_;
    uint32_t& total_;
    std::string name_;
    const std::atomic<bool>& abort_;
    bool receiving_;
    uint32_t request_length_;
    Clock& clock_;
};
