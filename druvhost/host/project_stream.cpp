#include "druvhost/host/project_stream.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace druvhost {

HRESULT MemoryIStream::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_ISequentialStream) || IsEqualGUID(iid, IID_IStream)) {
        *object = static_cast<IStream*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG MemoryIStream::AddRef() { return references_.fetch_add(1, std::memory_order_relaxed) + 1; }

ULONG MemoryIStream::Release() {
    ULONG left = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

HRESULT MemoryIStream::Read(void* buffer, ULONG count, ULONG* read) {
    if (!buffer && count > 0) return STG_E_INVALIDPOINTER;
    size_t available = bytes_.size() - std::min(position_, bytes_.size());
    size_t part = std::min<size_t>(count, available);
    if (part > 0) std::memcpy(buffer, bytes_.data() + position_, part);
    position_ += part;
    if (read) *read = static_cast<ULONG>(part);
    return S_OK;
}

HRESULT MemoryIStream::Write(const void* buffer, ULONG count, ULONG* written) {
    if (written) *written = 0;
    if (!buffer && count > 0) return STG_E_INVALIDPOINTER;
    if (bytes_.size() < position_ + count) bytes_.resize(position_ + count);
    if (count > 0) std::memcpy(bytes_.data() + position_, buffer, count);
    position_ += count;
    if (written) *written = count;
    return S_OK;
}

HRESULT MemoryIStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
    int64_t base = 0;
    if (origin == STREAM_SEEK_CUR) base = static_cast<int64_t>(position_);
    else if (origin == STREAM_SEEK_END) base = static_cast<int64_t>(bytes_.size());
    else if (origin != STREAM_SEEK_SET) return STG_E_INVALIDFUNCTION;
    int64_t target = base + move.QuadPart;
    if (target < 0) return STG_E_INVALIDFUNCTION;
    position_ = static_cast<size_t>(target);
    if (position) position->QuadPart = position_;
    return S_OK;
}

HRESULT MemoryIStream::SetSize(ULARGE_INTEGER size) {
    bytes_.resize(static_cast<size_t>(size.QuadPart));
    return S_OK;
}

HRESULT MemoryIStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) { return E_NOTIMPL; }
HRESULT MemoryIStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }
HRESULT MemoryIStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }
HRESULT MemoryIStream::Stat(STATSTG*, DWORD) { return E_NOTIMPL; }

HRESULT MemoryIStream::Clone(IStream** copy) {
    if (!copy) return E_POINTER;
    *copy = nullptr;
    return E_NOTIMPL;
}

IStream* CreateProjectStream() {
#ifdef _WIN32
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return nullptr;
    return stream;
#else
    return new (std::nothrow) MemoryIStream();
#endif
}

bool RewindStream(IStream* stream) {
    LARGE_INTEGER start{};
    start.QuadPart = 0;
    return SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr));
}

std::vector<uint8_t> StreamBytes(IStream* stream) {
    std::vector<uint8_t> bytes;
    if (!RewindStream(stream)) return bytes;
    uint8_t chunk[4096];
    ULONG read = 0;
    while (SUCCEEDED(stream->Read(chunk, sizeof(chunk), &read)) && read > 0) bytes.insert(bytes.end(), chunk, chunk + read);
    return bytes;
}

}  // namespace druvhost
