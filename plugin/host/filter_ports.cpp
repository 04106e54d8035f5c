#include "plugin/host/filter_ports.h"

#include "plugin/engine/druv_data.h"

namespace {

MPPortList FetchList(IMPPortDirectory* directory, MPPortDirection direction) {
    MPPortList list{};
    if (FAILED(directory->GetPorts(direction, &list)) || !list.Entries) list = MPPortList{};
    return list;
}

}  // namespace

void FetchPortLists(IMPPortDirectory* directory, DRUVData& data) {
    if (!directory) return;
    data.InPorts = FetchList(directory, MP_PORT_INPUT);
    data.ResolvePorts(MP_PORT_INPUT);
    data.OutPorts = FetchList(directory, MP_PORT_OUTPUT);
    data.ResolvePorts(MP_PORT_OUTPUT);
}

void ClaimStoredPorts(IMPPortBroker* broker, const DRUVData& data, PortClaim claim, const GUID& classId,
                      IUnknown* owner) {
    if (!broker) return;
    if (data.InPort.load(std::memory_order_acquire) != 0)
        broker->ClaimPort(claim, data.InPortId, 0, classId, owner, 0);
    if (data.OutPort.load(std::memory_order_acquire) != 0)
        broker->ClaimPort(claim, data.OutPortId, 0, classId, owner, 0);
}

HeldPorts HeldPortsOf(const DRUVData& data) {
    HeldPorts held;
    held.holdsIn = data.InPort.load(std::memory_order_acquire) != 0;
    held.holdsOut = data.OutPort.load(std::memory_order_acquire) != 0;
    held.in = data.InPortId;
    held.out = data.OutPortId;
    return held;
}

void ReleaseHeldPorts(IMPPortBroker* broker, const HeldPorts& held, const GUID& classId, IUnknown* owner) {
    if (!broker) return;
    if (held.holdsIn) broker->ClaimPort(kReleasePort, held.in, 0, classId, owner, 0);
    if (held.holdsOut) broker->ClaimPort(kReleasePort, held.out, 0, classId, owner, 0);
}
