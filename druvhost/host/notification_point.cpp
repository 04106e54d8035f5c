#include "druvhost/host/notification_point.h"

#include <vector>

#include "plugin/abi/host_interfaces.h"

namespace druvhost {

NotificationPoint::~NotificationPoint() {
    for (auto& entry : sinks_) entry.second->Release();
}

HRESULT NotificationPoint::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IConnectionPoint)) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT NotificationPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = IID_IMPNotificationSink;
    return S_OK;
}

HRESULT NotificationPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (!container) return E_POINTER;
    container_->AddRef();
    *container = container_;
    return S_OK;
}

HRESULT NotificationPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    sink->AddRef();
    std::lock_guard<std::mutex> lock(mutex_);
    *cookie = next_cookie_++;
    sinks_[*cookie] = sink;
    return S_OK;
}

HRESULT NotificationPoint::Unadvise(DWORD cookie) {
    IUnknown* sink = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = sinks_.find(cookie);
        if (found == sinks_.end()) return kNoConnection;
        sink = found->second;
        sinks_.erase(found);
    }
    sink->Release();
    return S_OK;
}

HRESULT NotificationPoint::EnumConnections(IEnumConnections** connections) {
    if (connections) *connections = nullptr;
    return E_NOTIMPL;
}

void NotificationPoint::Fire(const GUID& kind) {
    std::vector<IUnknown*> sinks;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto& entry : sinks_) {
            entry.second->AddRef();
            sinks.push_back(entry.second);
        }
    }
    for (IUnknown* sink : sinks) {
        void* notification = nullptr;
        if (SUCCEEDED(sink->QueryInterface(IID_IMPNotificationSink, &notification)) && notification) {
            static_cast<IMPNotificationSink*>(notification)->Notify(&kind);
            static_cast<IMPNotificationSink*>(notification)->Release();
        }
        sink->Release();
    }
}

void NotificationPoint::FirePortsChanged() { Fire(MP_NOTIFY_PORTS_CHANGED); }

size_t NotificationPoint::SinkCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return sinks_.size();
}

}  // namespace druvhost
