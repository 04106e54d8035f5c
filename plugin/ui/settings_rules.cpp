#include "plugin/ui/settings_rules.h"

#include <algorithm>
#include <atomic>

#include "device/druv_device.h"
#include "device/druv_template.h"
#include "device/text_fields.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/dump_item.h"

namespace {

int32_t Limited(int64_t value, int32_t low, int32_t high) {
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(value, low), high));
}

}  // namespace

SpinField DeviceIdField(const DRUVDevice& device, uint8_t storedId) {
    SpinField field;
    field.shown = device.SysXChanOfs() != 0 && device.SysXChanMin() < device.SysXChanMax();
    const int32_t offset = device.SysXDisplayOfs();
    field.low = device.SysXChanMin() + offset;
    field.high = device.SysXChanMax() + offset;
    field.position = storedId + offset;
    return field;
}

SpinField ChannelField(const DRUVDevice& device, uint8_t storedChannel) {
    SpinField field;
    field.shown = device.MidiChannel() != 0;
    field.low = 1;
    field.high = kLastChannel + 1;
    field.position = storedChannel + 1;
    return field;
}

SpinField DelayField(int32_t storedDelay) {
    SpinField field;
    field.shown = true;
    field.low = 0;
    field.high = kMaxItemDelay;
    field.position = storedDelay;
    return field;
}

uint8_t DeviceIdFromText(const DRUVDevice& device, const char* text) {
    const int64_t value = static_cast<int64_t>(DecimalTextToInt(text)) - device.SysXDisplayOfs();
    // Raised to the minimum first, then lowered to the maximum: a device whose
    // minimum lies above its maximum ends at the maximum.
    int64_t limited = std::max<int64_t>(value, device.SysXChanMin());
    limited = std::min<int64_t>(limited, device.SysXChanMax());
    return static_cast<uint8_t>(limited);
}

uint8_t ChannelFromText(const char* text) {
    return static_cast<uint8_t>(Limited(static_cast<int64_t>(DecimalTextToInt(text)) - 1, 0, kLastChannel));
}

int32_t DelayFromText(const char* text) {
    return Limited(DecimalTextToInt(text), 0, kMaxItemDelay);
}

size_t PortListPosition(const MPPortList& ports, uint32_t handle) {
    if (!ports.Entries) return 0;
    for (uint32_t i = 0; i < ports.Count; ++i)
        if (handle != 0 && ports.Entries[i].Handle == handle) return i;
    return ports.Count;
}

std::string PortNameAsText(const WCHAR* name) {
    std::string text;
    for (size_t i = 0; name && name[i] != 0 && text.size() < kMaxTextLength; ++i)
        text.push_back(name[i] < 0x80 ? static_cast<char>(name[i]) : '?');
    return text;
}

bool ChangePort(DRUVData& data, MPPortDirection direction, size_t position, IMPPortBroker* broker,
                REFCLSID ownerClass, IUnknown* owner) {
    const bool input = direction == MP_PORT_INPUT;
    std::atomic<uint32_t>& handle = input ? data.InPort : data.OutPort;
    MPPortId& id = input ? data.InPortId : data.OutPortId;
    const MPPortList& ports = input ? data.InPorts : data.OutPorts;

    const uint32_t oldHandle = handle.load(std::memory_order_acquire);
    if (oldHandle != 0 && broker) broker->ClaimPort(0, id, 0, ownerClass, owner, 0);
    const bool changed = position != PortListPosition(ports, oldHandle);

    if (ports.Entries && position < ports.Count) {
        id = ports.Entries[position].Id;
        handle.store(ports.Entries[position].Handle, std::memory_order_release);
    } else {
        id = MPPortId{};
        handle.store(0, std::memory_order_release);
    }
    const uint32_t newHandle = handle.load(std::memory_order_acquire);
    if (newHandle != 0 && broker) broker->ClaimPort(1, id, 0, ownerClass, owner, 0);
    return changed;
}

std::string DataListLine(const DRUVTemplate& dumpTemplate, const DumpItem* item) {
    std::string line = dumpTemplate.Name();
    if (item && item->HasData()) line += " *";
    return line;
}
