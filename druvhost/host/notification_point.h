// The host's connection point for IID_IMPNotificationSink: keeps the sinks
// advised to it and tells them when the host's MIDI ports change.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>

#include "platform/com_base.h"
#include "druvhost/host/counted_object.h"

namespace druvhost {

// What the host answers for a connection it does not know.
constexpr HRESULT kNoConnection = static_cast<HRESULT>(0x80040200u);

// The system's interfaces declare no destructor; the host's owner destroys
// this object as itself, never through an interface pointer.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class NotificationPoint : public IConnectionPoint, public CountedObject {
public:
    // `container` is the host that owns this point.
    explicit NotificationPoint(IConnectionPointContainer* container) : container_(container) {}
    virtual ~NotificationPoint();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return Increment(); }
    ULONG STDMETHODCALLTYPE Release() override { return Decrement(); }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
    // Keeps a reference to `sink` until Unadvise; cookies start at 1.
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

    // Calls Notify(kind) on every advised sink, outside the point's lock.
    void Fire(const GUID& kind);
    void FirePortsChanged();
    size_t SinkCount() const;

private:
    IConnectionPointContainer* container_;
    mutable std::mutex mutex_;
    std::map<DWORD, IUnknown*> sinks_;
    DWORD next_cookie_ = 1;
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

}  // namespace druvhost
