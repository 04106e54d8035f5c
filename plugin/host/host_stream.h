// The host's project stream seen as the store's byte stream.
#pragma once

#include "platform/com_base.h"
#include "plugin/engine/byte_stream.h"

class HostStream : public ByteStream {
public:
    // The stream stays the caller's; no reference is taken.
    explicit HostStream(IStream* stream) : stream_(stream) {}

    // A result that reports failure is an error; S_FALSE with fewer bytes is
    // the stream's end, which the reader sees in `got`.
    bool Read(void* buffer, uint32_t count, uint32_t* got) override;
    // Only the result counts, not the number of bytes the stream reports.
    bool Write(const void* buffer, uint32_t count) override;

private:
    IStream* stream_;
};
