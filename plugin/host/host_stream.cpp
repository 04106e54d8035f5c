#include "plugin/host/host_stream.h"

bool HostStream::Read(void* buffer, uint32_t count, uint32_t* got) {
    ULONG read = 0;
    HRESULT result = stream_->Read(buffer, count, &read);
    *got = read > count ? count : static_cast<uint32_t>(read);
    return SUCCEEDED(result);
}

bool HostStream::Write(const void* buffer, uint32_t count) {
    ULONG written = 0;
    return SUCCEEDED(stream_->Write(buffer, count, &written));
}
