// One batch of incoming events as the host hands it to a plug-in's
// ProcessEvents. The list owns the message bytes its SysX events point at.
#pragma once

#include <cstdint>
#include <vector>

#include "plugin/abi/host_interfaces.h"
#include "druvhost/host/counted_object.h"

namespace druvhost {

class HostEventList : public IMPEventList, public CountedObject {
public:
    HostEventList() = default;
    virtual ~HostEventList() = default;
    HostEventList(const HostEventList&) = delete;
    HostEventList& operator=(const HostEventList&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return Increment(); }
    ULONG STDMETHODCALLTYPE Release() override { return Decrement(); }

    HRESULT STDMETHODCALLTYPE Reserved1() override { return E_NOTIMPL; }
    // Deliver the events whose type is in `typeMask`, in order; the position
    // is the event's number from 1. At the end: S_FALSE and position 0.
    HRESULT STDMETHODCALLTYPE First(uintptr_t* position, MPEvent* event, uint32_t* value,
                                    uint32_t typeMask) override;
    HRESULT STDMETHODCALLTYPE Next(uintptr_t* position, MPEvent* event, uint32_t* value,
                                   uint32_t typeMask) override;

    // A whole wire message on `port`; false (nothing added) for anything
    // but a channel or SysX message.
    bool AddMessage(uint32_t port, const uint8_t* message, size_t size);
    // An event as given; its SysX pointer must outlive the list.
    void AddEvent(const MPEvent& event);
    size_t Size() const { return events_.size(); }

private:
    HRESULT From(size_t index, uintptr_t* position, MPEvent* event, uint32_t* value, uint32_t typeMask);

    struct Entry {
        MPEvent event;
        size_t message;  // index into messages_, or SIZE_MAX
    };
    std::vector<Entry> events_;
    std::vector<std::vector<uint8_t>> messages_;
    size_t next_ = 0;
};

}  // namespace druvhost
