// The IUnknown part of a test double that a test owns directly (on the stack
// or in a fixture): it answers no other interface, and its count never
// destroys it.
#pragma once

#include "platform/com_base.h"

template <class Interface>
class StackObject : public Interface {
public:
    virtual ~StackObject() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        if (object) *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};
