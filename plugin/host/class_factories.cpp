#include "plugin/host/class_factories.h"

#include <cstring>
#include <new>

#include "platform/utf16_text.h"
#include "plugin/host/midi_filter.h"
#include "plugin/host/module_counts.h"

namespace {

std::atomic<PropPageCreator>& InstalledPageCreator() {
    static std::atomic<PropPageCreator> creator{nullptr};
    return creator;
}

// Hands out the requested interface of a new object and gives up the
// creator's own reference, so an object nobody asked for goes away at once.
HRESULT HandOut(IUnknown* object, REFIID riid, void** out) {
    const HRESULT result = object->QueryInterface(riid, out);
    object->Release();
    return result;
}

}  // namespace

PropPageCreator SetPropPageCreator(PropPageCreator creator) {
    return InstalledPageCreator().exchange(creator, std::memory_order_acq_rel);
}

int32_t LiveClassFactories() {
    return module_counts::LiveFactories().load(std::memory_order_acquire);
}

// A factory keeps the module loaded: its code lies there.
ClassFactoryBase::ClassFactoryBase() {
    module_counts::LiveFactories().fetch_add(1, std::memory_order_acq_rel);
}

ClassFactoryBase::~ClassFactoryBase() {
    module_counts::LiveFactories().fetch_sub(1, std::memory_order_acq_rel);
}

HRESULT STDMETHODCALLTYPE ClassFactoryBase::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE ClassFactoryBase::AddRef() {
    return references_.fetch_add(1, std::memory_order_acq_rel) + 1;
}

ULONG STDMETHODCALLTYPE ClassFactoryBase::Release() {
    const ULONG remaining = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (remaining == 0) delete this;
    return remaining;
}

HRESULT STDMETHODCALLTYPE ClassFactoryBase::LockServer(BOOL lock) {
    if (lock)
        module_counts::ServerLocks().fetch_add(1, std::memory_order_acq_rel);
    else
        module_counts::ServerLocks().fetch_sub(1, std::memory_order_acq_rel);
    return S_OK;
}

CMidiFilterFactory::CMidiFilterFactory(const CLSID& classId, const char* devicePath) : class_id_(classId) {
    size_t length = 0;
    while (devicePath && length <= kMaxDevicePathBytes && devicePath[length] != '\0') ++length;
    if (length > kMaxDevicePathBytes) length = Utf8CutLength(devicePath, length, kMaxDevicePathBytes);
    if (length) std::memcpy(device_path_, devicePath, length);
    device_path_[length] = '\0';
}

HRESULT STDMETHODCALLTYPE CMidiFilterFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    CMidiFilter* filter = new (std::nothrow) CMidiFilter(class_id_, device_path_);
    if (!filter) return E_OUTOFMEMORY;
    return HandOut(static_cast<IMPInitialise*>(filter), riid, object);
}

HRESULT STDMETHODCALLTYPE CPropPageFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    const PropPageCreator create = InstalledPageCreator().load(std::memory_order_acquire);
    IUnknown* page = create ? create() : nullptr;
    if (!page) return E_OUTOFMEMORY;
    return HandOut(page, riid, object);
}
