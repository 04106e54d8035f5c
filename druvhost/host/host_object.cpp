#include "druvhost/host/host_object.h"

#include <cstring>

namespace druvhost {

HostObject::HostObject() : point_(this) {
    SetPorts(MP_PORT_INPUT, {});
    SetPorts(MP_PORT_OUTPUT, {});
}

HostObject::~HostObject() = default;

HRESULT HostObject::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualGUID(iid, IID_IUnknown)) {
        *object = static_cast<IMPPortDirectory*>(this);
    } else if (IsEqualGUID(iid, IID_IMPPortDirectory)) {
        *object = static_cast<IMPPortDirectory*>(this);
    } else if (IsEqualGUID(iid, IID_IMPPortBroker)) {
        *object = static_cast<IMPPortBroker*>(this);
    } else if (IsEqualGUID(iid, IID_IConnectionPointContainer)) {
        *object = static_cast<IConnectionPointContainer*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT HostObject::GetPorts(uint32_t direction, MPPortList* ports) {
    if (!ports) return E_POINTER;
    if (direction > MP_PORT_OUTPUT) return E_FAIL;
    std::lock_guard<std::mutex> lock(mutex_);
    PortSnapshot* snapshot = current_[direction];
    ports->Count = static_cast<uint32_t>(snapshot->entries.size());
    ports->Entries = snapshot->entries.data();
    return S_OK;
}

HRESULT HostObject::ClaimPort(int32_t, const MPPortId&, uint32_t, REFCLSID, IUnknown*, uint32_t) { return S_OK; }

HRESULT HostObject::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (points) *points = nullptr;
    return E_NOTIMPL;
}

HRESULT HostObject::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (!IsEqualGUID(iid, IID_IMPNotificationSink)) return kNoConnection;
    point_.AddRef();
    *point = &point_;
    return S_OK;
}

void HostObject::SetPorts(MPPortDirection direction, const std::vector<PortSpec>& ports) {
    auto snapshot = std::make_unique<PortSnapshot>();
    snapshot->names.reserve(ports.size());
    for (const PortSpec& port : ports) {
        std::vector<WCHAR> name(port.name.begin(), port.name.end());
        name.push_back(0);
        snapshot->names.push_back(std::move(name));
    }
    for (size_t i = 0; i < ports.size(); ++i)
        snapshot->entries.push_back(MPPortEntry{ports[i].handle, ports[i].id, snapshot->names[i].data()});
    std::lock_guard<std::mutex> lock(mutex_);
    current_[direction] = snapshot.get();
    snapshots_.push_back(std::move(snapshot));
}

MPPortId MakePortId(uint8_t fill) {
    MPPortId id;
    std::memset(&id, fill, sizeof(id));
    return id;
}

}  // namespace druvhost
