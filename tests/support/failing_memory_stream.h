// A project stream whose writes fail from a chosen byte on, as a full disk
// or a host's failing stream would.
#pragma once

#include <cstddef>
#include <cstdint>

#include "druvhost/host/project_stream.h"

namespace druvhosttest {

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class FailingMemoryStream : public druvhost::MemoryIStream {
public:
    // Writes that would reach byte `offset` or beyond fail.
    explicit FailingMemoryStream(size_t offset) : fail_writes_from_(offset) {}

    HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* written) override {
        LARGE_INTEGER none{};
        ULARGE_INTEGER position{};
        if (written) *written = 0;
        if (FAILED(Seek(none, STREAM_SEEK_CUR, &position))) return STG_E_MEDIUMFULL;
        if (position.QuadPart + count > fail_writes_from_) return STG_E_MEDIUMFULL;
        return MemoryIStream::Write(buffer, count, written);
    }

private:
    ~FailingMemoryStream() override = default;

    size_t fail_writes_from_;
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

}  // namespace druvhosttest
