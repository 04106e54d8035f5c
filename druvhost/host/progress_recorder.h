// The progress sink a host hands the plug-in for one transfer: keeps a copy
// of every call, so that the host can tell afterwards what the plug-in
// reported, and passes each call on to the display, if there is one. A new
// recorder serves each transfer.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "plugin/abi/host_interfaces.h"

namespace druvhost {

struct ProgressRecord {
    void* context;
    uint32_t done;
    uint32_t total;
    bool hasText;
    std::u16string text;

    // The text with every unit above 7F as '?'.
    std::string Ascii() const;
};

class ProgressRecorder : public IMPProgressSink {
public:
    ProgressRecorder() = default;
    // Each call goes on to `display` once it is recorded; not owned.
    explicit ProgressRecorder(IMPProgressSink* display) : display_(display) {}
    virtual ~ProgressRecorder() = default;

    HRESULT STDMETHODCALLTYPE Progress(void* context, uint32_t bytesDone, uint32_t bytesTotal,
                                       const WCHAR* text) override;

    std::vector<ProgressRecord> Records() const;
    void Clear();

private:
    IMPProgressSink* display_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<ProgressRecord> records_;
};

}  // namespace druvhost
