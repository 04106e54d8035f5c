// A host progress sink that keeps a copy of every call (the text is the
// caller's and freed after the call).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "plugin/abi/host_interfaces.h"

struct ProgressCall {
    void* context;
    uint32_t done;
    uint32_t total;
    bool hasText;
    std::u16string text;
    uint32_t tick;

    // The text with every unit above 7F shown as '?': enough to compare the
    // engine's ASCII texts.
    std::string Ascii() const {
        std::string ascii;
        for (char16_t unit : text) ascii += unit < 0x80 ? static_cast<char>(unit) : '?';
        return ascii;
    }
};

class RecordingProgressSink : public IMPProgressSink {
public:
    explicit RecordingProgressSink(Clock* clock = nullptr) : clock_(clock) {}
    virtual ~RecordingProgressSink() = default;

    HRESULT STDMETHODCALLTYPE Progress(void* context, uint32_t bytesDone, uint32_t bytesTotal,
                                       const WCHAR* text) override {
        ProgressCall call{context, bytesDone, bytesTotal, text != nullptr, {}, clock_ ? clock_->TickCount() : 0};
        for (const WCHAR* unit = text; unit && *unit; ++unit) call.text += static_cast<char16_t>(*unit);
        calls.push_back(call);
        return S_OK;
    }

    std::vector<ProgressCall> calls;

private:
    Clock* clock_;
};
