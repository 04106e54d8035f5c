#include "plugin/engine/druv_data.h"

#include <cstring>

#include "device/druv_device.h"
#include "device/text_fields.h"

DRUVData::DRUVData() : clock_(&SystemClock()) {}

void DRUVData::BuildFrom(const DRUVDevice& device) {
    Company = CapText(device.Company().c_str());
    Product = CapText(device.Product().c_str());
    Version = CapText(device.Version().c_str());
    DeviceId.store(device.SysXChanMin(), std::memory_order_release);

    Items.clear();
    Items.reserve(device.TemplateCount());
    for (size_t i = 0; i < device.TemplateCount(); ++i) {
        const DRUVTemplate& dumpTemplate = *device.Template(i);
        auto item = std::make_unique<DumpItem>(dumpTemplate.Name().c_str());
        // An item without a buffer is skipped by receives until a stream fills it.
        item->Allocate(DumpCapacityFor(dumpTemplate));
        Items.push_back(std::move(item));
    }
}

void DRUVData::ResolvePorts(MPPortDirection direction) {
    bool input = direction == MP_PORT_INPUT;
    const MPPortList& list = input ? InPorts : OutPorts;
    MPPortId& id = input ? InPortId : OutPortId;
    std::atomic<uint32_t>& handle = input ? InPort : OutPort;

    if (list.Count == 0 || !list.Entries) {
        handle.store(0, std::memory_order_release);
        return;
    }
    for (uint32_t i = 0; i < list.Count; ++i) {
        if (std::memcmp(&list.Entries[i].Id, &id, sizeof(MPPortId)) == 0) {
            handle.store(list.Entries[i].Handle, std::memory_order_release);
            return;
        }
    }
    handle.store(0, std::memory_order_release);
    id = MPPortId{};
}

DumpItem* DRUVData::FindItemExact(const std::string& name) {
    for (auto& item : Items) {
        if (item->Name() == name) return item.get();
    }
    return nullptr;
}
