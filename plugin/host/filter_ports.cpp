#include "plugin/host/filter_ports.h"

#include <atomic>
#include <cstring>

#include "device/text_fields.h"
#include "platform/utf16_text.h"
#include "plugin/engine/druv_data.h"

namespace {

MPPortList FetchList(IMPPortDirectory* directory, MPPortDirection direction) {
    MPPortList list{};
    if (FAILED(directory->GetPorts(direction, &list)) || !list.Entries) list = MPPortList{};
    return list;
}

bool SameId(const MPPortId& a, const MPPortId& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

uint32_t HandleOf(const DRUVData& data, MPPortDirection direction) {
    return (direction == MP_PORT_INPUT ? data.InPort : data.OutPort).load(std::memory_order_acquire);
}

const MPPortId& IdOf(const DRUVData& data, MPPortDirection direction) {
    return direction == MP_PORT_INPUT ? data.InPortId : data.OutPortId;
}

}  // namespace

void FetchPortLists(IMPPortDirectory* directory, DRUVData& data) {
    if (!directory) return;
    data.InPorts = FetchList(directory, MP_PORT_INPUT);
    data.ResolvePorts(MP_PORT_INPUT);
    data.OutPorts = FetchList(directory, MP_PORT_OUTPUT);
    data.ResolvePorts(MP_PORT_OUTPUT);
}

size_t PortListPosition(const MPPortList& ports, uint32_t handle) {
    if (!ports.Entries) return 0;
    for (uint32_t i = 0; i < ports.Count; ++i)
        if (handle != 0 && ports.Entries[i].Handle == handle) return i;
    return ports.Count;
}

std::string PortNameText(const WCHAR* name) {
    if (!name) return std::string();
    const auto* units = reinterpret_cast<const char16_t*>(name);
    size_t length = 0;
    while (units[length] != 0) ++length;
    return Utf16ToUtf8(units, length, kMaxTextLength);
}

bool SelectPort(DRUVData& data, MPPortDirection direction, size_t position) {
    const bool input = direction == MP_PORT_INPUT;
    std::atomic<uint32_t>& handle = input ? data.InPort : data.OutPort;
    MPPortId& id = input ? data.InPortId : data.OutPortId;
    const MPPortList& ports = input ? data.InPorts : data.OutPorts;

    const bool changed = position != PortListPosition(ports, handle.load(std::memory_order_acquire));
    if (ports.Entries && position < ports.Count) {
        id = ports.Entries[position].Id;
        handle.store(ports.Entries[position].Handle, std::memory_order_release);
    } else {
        id = MPPortId{};
        handle.store(0, std::memory_order_release);
    }
    return changed;
}

void ClaimedPorts::Release(Held& held, std::vector<ClaimCall>& calls) {
    if (!held.claimed) return;
    calls.push_back({kReleasePort, held.id});
    held = Held{};
}

void ClaimedPorts::Claim(const DRUVData& data, MPPortDirection direction, std::vector<ClaimCall>& calls) {
    if (HandleOf(data, direction) == 0) return;
    Held& held = Of(direction);
    held.claimed = true;
    held.id = IdOf(data, direction);
    calls.push_back({kClaimPort, held.id});
}

std::vector<ClaimCall> ClaimedPorts::Reconcile(const DRUVData& data) {
    std::vector<ClaimCall> calls;
    for (MPPortDirection direction : {MP_PORT_INPUT, MP_PORT_OUTPUT}) {
        Held& held = Of(direction);
        const bool used = HandleOf(data, direction) != 0;
        if (held.claimed && used && SameId(held.id, IdOf(data, direction))) continue;
        Release(held, calls);
        Claim(data, direction, calls);
    }
    return calls;
}

std::vector<ClaimCall> ClaimedPorts::Renew(const DRUVData& data) {
    std::vector<ClaimCall> calls = ReleaseAll();
    Claim(data, MP_PORT_INPUT, calls);
    Claim(data, MP_PORT_OUTPUT, calls);
    return calls;
}

std::vector<ClaimCall> ClaimedPorts::Renew(const DRUVData& data, MPPortDirection direction) {
    std::vector<ClaimCall> calls;
    Release(Of(direction), calls);
    Claim(data, direction, calls);
    return calls;
}

std::vector<ClaimCall> ClaimedPorts::ReleaseAll() {
    std::vector<ClaimCall> calls;
    Release(in_, calls);
    Release(out_, calls);
    return calls;
}

void MakeClaimCalls(IMPPortBroker* broker, const std::vector<ClaimCall>& calls, const GUID& classId,
                    IUnknown* owner) {
    if (!broker) return;
    for (const ClaimCall& call : calls) broker->ClaimPort(call.claim, call.id, 0, classId, owner, 0);
}
