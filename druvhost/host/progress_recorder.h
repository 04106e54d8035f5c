// The host's progress display for transfers: keeps a copy of every call.
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
    virtual ~ProgressRecorder() = default;

    HRESULT STDMETHODCALLTYPE Progress(void* context, uint32_t bytesDone, uint32_t bytesTotal,
                                       const WCHAR* text) override;

    std::vector<ProgressRecord> Records() const;
    void Clear();

private:
    mutable std::mutex mutex_;
    std::vector<ProgressRecord> records_;
};

}  // namespace druvhost
