// The stream a host saves a plug-in's data into with its project. On
// Windows it is the system's stream over global memory; elsewhere a stream
// over a byte vector, which also hands saved bytes back to a plug-in's Load.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/com_base.h"

namespace druvhost {

// A new, empty stream with one reference; null when none could be made.
IStream* CreateProjectStream();
// Moves the stream's position back to its start; false if the stream refuses.
bool RewindStream(IStream* stream);
// The stream's bytes from its start (the position moves to the end).
std::vector<uint8_t> StreamBytes(IStream* stream);

// A stream over a byte vector. Created with one reference and deleted by its
// last Release.
// The system's interfaces declare no destructor; this object is destroyed
// only through Release, never through an interface pointer.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class MemoryIStream : public IStream {
public:
    MemoryIStream() = default;
    explicit MemoryIStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override;
    HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* written) override;

    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override;
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream** copy) override;

    const std::vector<uint8_t>& Bytes() const { return bytes_; }

protected:
    virtual ~MemoryIStream() = default;

private:

    std::atomic<ULONG> references_{1};
    std::vector<uint8_t> bytes_;
    size_t position_ = 0;
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

}  // namespace druvhost
