// The component server's two class factories: one makes the filter object of
// an installed device, the other the editor page that every device shares.
#pragma once

#include <atomic>
#include <cstdint>

#include "contract/editor_page_class.h"
#include "contract/text_limits.h"
#include "platform/class_factory.h"
#include "platform/com_base.h"

// The longest definition path a factory holds, in characters as the registry
// counts them (UTF-16 units); a path of 256 is refused.
constexpr size_t kMaxDevicePathLength = kMaxTextLength;
// The same path as UTF-8, terminator not counted: a UTF-16 unit never takes
// more than three bytes (a pair of them takes four).
constexpr size_t kMaxDevicePathBytes = kMaxTextUtf8Bytes;

// Creates an editor page holding one reference, or null when no memory can
// be had. The page lives with the user interface, which the plug-in module
// installs when it is loaded; natively a test installs its own.
using PropPageCreator = IUnknown* (*)();
PropPageCreator SetPropPageCreator(PropPageCreator creator);

// Factories alive in the process; each keeps the module loaded. It also lets
// tests see that a factory nobody took was destroyed.
int32_t LiveClassFactories();

// The system's IClassFactory has a public non-virtual destructor; factories
// go away through Release only.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif

// What both factories share: the reference count, QueryInterface for
// IUnknown and IClassFactory, and LockServer.
class ClassFactoryBase : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

protected:
    ClassFactoryBase();
    virtual ~ClassFactoryBase();

private:
    std::atomic<ULONG> references_{1};
};

class CMidiFilterFactory : public ClassFactoryBase {
public:
    // `devicePath` (UTF-8) is cut to kMaxDevicePathBytes bytes, between characters.
    CMidiFilterFactory(const CLSID& classId, const char* devicePath);

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override;

    const char* DevicePath() const { return device_path_; }
    const CLSID& ClassId() const { return class_id_; }

private:
    char device_path_[kMaxDevicePathBytes + 1];
    CLSID class_id_;
};

class CPropPageFactory : public ClassFactoryBase {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
