// A progress display for a terminal: prints the plug-in's status text at each
// new step of a transfer, with the bytes done so far, and keeps the figures.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>

#include "plugin/abi/host_interfaces.h"

class ConsoleProgress : public IMPProgressSink {
public:
    explicit ConsoleProgress(std::ostream& out) : out_(out) {}
    virtual ~ConsoleProgress() = default;

    HRESULT STDMETHODCALLTYPE Progress(void* context, uint32_t bytesDone, uint32_t bytesTotal,
                                       const WCHAR* text) override;

    uint32_t BytesDone() const { return done_.load(std::memory_order_acquire); }
    int Messages() const { return messages_.load(std::memory_order_acquire); }

private:
    std::ostream& out_;
    std::mutex mutex_;
    std::string last_step_;
    std::atomic<uint32_t> done_{0};
    std::atomic<int> messages_{0};
};
