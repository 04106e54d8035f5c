// The filter's side of the host's MIDI ports: fetching the lists and
// claiming or releasing the ports the store names.
#pragma once

#include <cstdint>

#include "platform/com_base.h"
#include "plugin/abi/host_interfaces.h"

class DRUVData;

// Fetches both lists from `directory` into the store and resolves the stored
// port identities against them. A failing call counts as an empty list.
void FetchPortLists(IMPPortDirectory* directory, DRUVData& data);

enum PortClaim : int32_t { kReleasePort = 0, kClaimPort = 1 };

// ClaimPort for each direction whose handle is nonzero, on behalf of
// `owner` of class `classId`. Nothing without a broker.
void ClaimStoredPorts(IMPPortBroker* broker, const DRUVData& data, PortClaim claim, const GUID& classId,
                      IUnknown* owner);

// The identities of the ports a store holds (a nonzero handle), kept across
// a Load that replaces them.
struct HeldPorts {
    bool holdsIn = false;
    bool holdsOut = false;
    MPPortId in{};
    MPPortId out{};
};

HeldPorts HeldPortsOf(const DRUVData& data);
void ReleaseHeldPorts(IMPPortBroker* broker, const HeldPorts& held, const GUID& classId, IUnknown* owner);
