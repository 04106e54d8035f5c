// The component model's class factory interface. On Windows it comes from the
// system headers; elsewhere it is declared here with the same identifier and
// vtable order, so that the component server builds and is tested natively.
#pragma once

#include "platform/com_base.h"

#ifndef _WIN32
// {00000001-0000-0000-C000-000000000046}
constexpr IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IClassFactory : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) = 0;
    virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) = 0;

protected:
    ~IClassFactory() = default;
};
#endif
