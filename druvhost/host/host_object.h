// The host object handed to a plug-in's Initialise: its MIDI port directory,
// its port broker and its connection point container with the point that
// carries port notifications. The port lists can be changed at any time;
// every list handed out stays valid as long as the host lives, as the plug-in
// keeps reading the last list it fetched.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "plugin/abi/host_interfaces.h"
#include "druvhost/host/counted_object.h"
#include "druvhost/host/notification_point.h"

namespace druvhost {

struct PortSpec {
    uint32_t handle;
    MPPortId id;
    std::u16string name;
};

// The system's interfaces declare no destructor; the host's owner destroys
// this object as itself, never through an interface pointer.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class HostObject : public IMPPortDirectory, public IMPPortBroker, public IConnectionPointContainer, public CountedObject {
public:
    HostObject();
    virtual ~HostObject();

    // IUnknown answers for IMPPortDirectory, IMPPortBroker and
    // IConnectionPointContainer.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return Increment(); }
    ULONG STDMETHODCALLTYPE Release() override { return Decrement(); }

    HRESULT STDMETHODCALLTYPE GetPorts(uint32_t direction, MPPortList* ports) override;

    HRESULT STDMETHODCALLTYPE Reserved1() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved2() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved4() override { return E_NOTIMPL; }
    // This host lends each port to whoever asks; a claim is only taken note of.
    HRESULT STDMETHODCALLTYPE ClaimPort(int32_t claim, const MPPortId& port, uint32_t reserved1, REFCLSID ownerClass,
                                        IUnknown* owner, uint32_t reserved2) override;

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    // The host object as a plug-in's Initialise takes it.
    IUnknown* Unknown() { return static_cast<IMPPortDirectory*>(this); }

    // Replaces the list of one direction; plug-ins see it at their next
    // GetPorts. FirePortsChanged tells them.
    void SetPorts(MPPortDirection direction, const std::vector<PortSpec>& ports);
    void FirePortsChanged() { point_.FirePortsChanged(); }
    NotificationPoint& Notifications() { return point_; }

private:
    struct PortSnapshot {
        std::vector<std::vector<WCHAR>> names;
        std::vector<MPPortEntry> entries;
    };

    NotificationPoint point_;
    mutable std::mutex mutex_;
    std::deque<std::unique_ptr<PortSnapshot>> snapshots_;  // every list ever built
    PortSnapshot* current_[2] = {nullptr, nullptr};
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

// A port identity made of one repeated byte, enough to tell ports apart.
MPPortId MakePortId(uint8_t fill);

}  // namespace druvhost
