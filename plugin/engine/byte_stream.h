// The byte stream that the persisted store is written to and read from. The
// filter object adapts the host's stream to it.
#pragma once

#include <cstdint>

struct ByteStream {
    virtual ~ByteStream() = default;
    // Reads up to `count` bytes; `got` receives the number delivered. False
    // when the stream reports an error.
    virtual bool Read(void* buffer, uint32_t count, uint32_t* got) = 0;
    // False when the stream reports an error.
    virtual bool Write(const void* buffer, uint32_t count) = 0;
};
