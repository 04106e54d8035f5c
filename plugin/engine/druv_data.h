// What one plug-in instance keeps about its instrument beyond the definition:
// the user's port, device-ID, channel and delay choices, copies of the
// device's identity texts and the stored dumps, one item per template.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "plugin/engine/dump_item.h"
#include "plugin/abi/host_interfaces.h"
#include "plugin/abi/mp_event.h"

class DRUVDevice;

class DRUVData {
public:
    // Empty texts and lists, no ports, no items, the system clock.
    DRUVData();
    DRUVData(const DRUVData&) = delete;
    DRUVData& operator=(const DRUVData&) = delete;

    // Takes the device's identity texts (at most 255 bytes each), starts the
    // device ID at SysXChanMin and appends one item per template, in template
    // order, each with a buffer of DumpCapacityFor its template (none when
    // that is 0 or cannot be allocated). Replaces any items held before.
    void BuildFrom(const DRUVDevice& device);

    // Looks the stored port identity up in the host's list of that direction:
    // the first entry with the same identity gives the handle. No match gives
    // handle 0 and a cleared identity; an empty list gives handle 0 and keeps
    // the identity, so that the port is found again once the host lists it.
    void ResolvePorts(MPPortDirection direction);

    // The first item named exactly `name` (case counts), or null.
    DumpItem* FindItemExact(const std::string& name);

    // The engine's time; the system clock unless a test injects another. The
    // clock must outlive the store.
    Clock& TransferClock() const { return *clock_; }
    void SetTransferClock(Clock& clock) { clock_ = &clock; }

    std::string Company;
    std::string Product;
    std::string Version;
    // The editor page writes these while a transfer may read them.
    std::atomic<uint32_t> InPort{0};   // host port handle, 0 for none
    std::atomic<uint32_t> OutPort{0};
    std::atomic<uint8_t> DeviceId{0};
    std::atomic<uint8_t> Channel{0};   // 0 to 15
    int32_t StoredItemCount = 0;       // dump chunks announced by the stream last read
    MPPortId InPortId{};
    MPPortId OutPortId{};
    MPPortList InPorts{};              // the host's lists, owned by the host
    MPPortList OutPorts{};
    std::atomic<int32_t> ItemDelay{0};  // milliseconds after each item of a transfer
    std::vector<std::unique_ptr<DumpItem>> Items;

private:
    Clock* clock_;
};
