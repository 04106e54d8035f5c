#include "druvhost/host/host_event_list.h"

#include <cstdint>

#include "druvhost/host/wire_events.h"

namespace druvhost {

HRESULT HostEventList::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualGUID(iid, IID_IUnknown)) {
        *object = static_cast<IMPEventList*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT HostEventList::First(uintptr_t* position, MPEvent* event, uint32_t* value, uint32_t typeMask) {
    return From(0, position, event, value, typeMask);
}

HRESULT HostEventList::Next(uintptr_t* position, MPEvent* event, uint32_t* value, uint32_t typeMask) {
    return From(next_, position, event, value, typeMask);
}

HRESULT HostEventList::From(size_t index, uintptr_t* position, MPEvent* event, uint32_t* value, uint32_t typeMask) {
    if (!position || !event) return E_POINTER;
    while (index < events_.size() && (events_[index].event.Type & typeMask) == 0) ++index;
    if (index >= events_.size()) {
        *position = 0;
        next_ = events_.size();
        return S_FALSE;
    }
    const Entry& entry = events_[index];
    *event = entry.event;
    if (entry.message != SIZE_MAX) event->Data.SysX = messages_[entry.message].data() + 1;
    if (value) *value = 0;
    *position = index + 1;
    next_ = index + 1;
    return S_OK;
}

bool HostEventList::AddMessage(uint32_t port, const uint8_t* message, size_t size) {
    MPEvent event{};
    if (!WireToEvent(message, size, port, event)) return false;
    size_t stored = SIZE_MAX;
    if (event.Type == MP_EVENT_SYSX) {
        messages_.emplace_back(message, message + size);
        stored = messages_.size() - 1;
        event.Data.SysX = nullptr;  // set from the owned copy when delivered
    }
    events_.push_back(Entry{event, stored});
    return true;
}

void HostEventList::AddEvent(const MPEvent& event) { events_.push_back(Entry{event, SIZE_MAX}); }

}  // namespace druvhost
