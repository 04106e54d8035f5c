#include "plugin/host/component_server.h"

#include <new>
#include <string>

#include "contract/host_registry.h"
#include "device/guid_text.h"
#include "platform/registry_editor.h"
#include "plugin/host/class_factories.h"
#include "plugin/host/module_counts.h"

namespace {

HRESULT MakePageFactory(REFCLSID, IClassFactory** factory) {
    *factory = new (std::nothrow) CPropPageFactory();
    return *factory ? S_OK : E_OUTOFMEMORY;
}

// The registry is read anew on every call: the manager may install or move a
// definition while the host runs.
HRESULT MakeFilterFactory(REFCLSID classId, IClassFactory** factory) {
    char classText[kGuidTextBufferSize];
    if (!GuidToText(classId, classText)) return CLASS_E_CLASSNOTAVAILABLE;
    const std::string keyPath = HostPluginKeyPath(classText);
    // At most kMaxDevicePathLength characters, which arrive as up to
    // kMaxDevicePathBytes bytes of UTF-8: the factory keeps them all.
    std::string devicePath;
    if (RegistryInUse().ReadText(kHostPluginsRoot, keyPath, kDevicePathValueName, kMaxDevicePathLength,
                                 devicePath) != RegistryRead::Ok)
        return CLASS_E_CLASSNOTAVAILABLE;
    *factory = new (std::nothrow) CMidiFilterFactory(classId, devicePath.c_str());
    return *factory ? S_OK : E_OUTOFMEMORY;
}

struct ServedClass {
    bool (*matches)(REFCLSID classId);
    HRESULT (*makeFactory)(REFCLSID classId, IClassFactory** factory);
};

// The first entry that matches serves the class: the editor page's own
// identifier, then every other identifier as a device.
const ServedClass kServedClasses[] = {
    {[](REFCLSID classId) { return IsEqualCLSID(classId, kPropPageClassId) != 0; }, MakePageFactory},
    {[](REFCLSID) { return true; }, MakeFilterFactory},
};

}  // namespace

STDAPI DllGetClassObject(REFCLSID classId, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    for (const ServedClass& served : kServedClasses) {
        if (!served.matches(classId)) continue;
        IClassFactory* factory = nullptr;
        const HRESULT made = served.makeFactory(classId, &factory);
        if (FAILED(made)) return made;
        // The factory's first reference is ours; one nobody asked for goes.
        const HRESULT result = factory->QueryInterface(riid, object);
        factory->Release();
        return result;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
    return module_counts::InUse() ? S_FALSE : S_OK;
}
