// The filter's side of the host's MIDI ports: fetching the lists, choosing a
// port from them, and the claims this filter holds at the host's broker.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/com_base.h"
#include "plugin/abi/host_interfaces.h"

class DRUVData;

// Fetches both lists from `directory` into the store and resolves the stored
// port identities against them. A failing call counts as an empty list.
void FetchPortLists(IMPPortDirectory* directory, DRUVData& data);

// The list position of the entry whose handle is `handle`; the position of
// "[none]" (the entry count) when no entry has it or the handle is 0.
size_t PortListPosition(const MPPortList& ports, uint32_t handle);

// The host's UTF-16 port name as UTF-8 of at most 255 bytes.
std::string PortNameText(const WCHAR* name);

// Makes the entry at `position` of the direction's list the port in use;
// "[none]" or any position outside the list gives handle 0 and a zero
// identity. True when that differs from the entry in use before.
bool SelectPort(DRUVData& data, MPPortDirection direction, size_t position);

enum PortClaim : int32_t { kReleasePort = 0, kClaimPort = 1 };

struct ClaimCall {
    PortClaim claim;
    MPPortId id;
};

// The ports this filter has claimed at the host, so that it claims every
// port it uses and releases only what it claimed. Each operation records the
// claims as made and returns the calls the caller must then make, in order.
class ClaimedPorts {
public:
    // Claims a port in use (nonzero handle) that is not claimed yet, and
    // releases a claimed port no longer in use or replaced by another.
    std::vector<ClaimCall> Reconcile(const DRUVData& data);
    // Releases what is claimed and claims what is in use, even when that is
    // the same port: the claim is made anew.
    std::vector<ClaimCall> Renew(const DRUVData& data);
    std::vector<ClaimCall> Renew(const DRUVData& data, MPPortDirection direction);
    std::vector<ClaimCall> ReleaseAll();

private:
    struct Held {
        bool claimed = false;
        MPPortId id{};
    };
    Held& Of(MPPortDirection direction) { return direction == MP_PORT_INPUT ? in_ : out_; }
    void Release(Held& held, std::vector<ClaimCall>& calls);
    void Claim(const DRUVData& data, MPPortDirection direction, std::vector<ClaimCall>& calls);

    Held in_;
    Held out_;
};

// ClaimPort for each call, on behalf of `owner` of class `classId`. Nothing
// without a broker.
void MakeClaimCalls(IMPPortBroker* broker, const std::vector<ClaimCall>& calls, const GUID& classId,
                    IUnknown* owner);
