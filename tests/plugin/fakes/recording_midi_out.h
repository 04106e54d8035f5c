// A host MIDI output that keeps every event it is given, with a copy of the
// bytes a SysX event points at taken during the call (the plug-in reuses the
// buffer afterwards) and the tick of the call when given a clock.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/clock.h"
#include "plugin/abi/host_interfaces.h"
#include "tests/plugin/fakes/stack_object.h"

struct SentEvent {
    MPEvent event;
    std::vector<uint8_t> sysx;  // SysX: the bytes after F0 as seen during the call
    uint32_t tick;
    uint32_t countArgument;  // the count passed with the event

    bool IsSysX() const { return event.Type == MP_EVENT_SYSX; }

    // The message as it goes on the wire: F0 and the SysX bytes, or the
    // status byte and the data bytes of a channel message.
    std::vector<uint8_t> WireBytes() const {
        if (IsSysX()) {
            std::vector<uint8_t> bytes{0xF0};
            bytes.insert(bytes.end(), sysx.begin(), sysx.end());
            return bytes;
        }
        uint8_t status = 0;
        int dataBytes = 2;
        switch (event.Type) {
        case MP_EVENT_NOTE_OFF: status = 0x80; break;
        case MP_EVENT_NOTE_ON: status = 0x90; break;
        case MP_EVENT_KEY_PRESSURE: status = 0xA0; break;
        case MP_EVENT_CONTROL_CHANGE: status = 0xB0; break;
        case MP_EVENT_PROGRAM_CHANGE: status = 0xC0; dataBytes = 1; break;
        case MP_EVENT_CHANNEL_PRESSURE: status = 0xD0; dataBytes = 1; break;
        case MP_EVENT_PITCH_BEND: status = 0xE0; break;
        default: return {};
        }
        std::vector<uint8_t> bytes{static_cast<uint8_t>(status | (event.Channel & 0x0F)), event.Data.Short[0]};
        if (dataBytes == 2) bytes.push_back(event.Data.Short[1]);
        return bytes;
    }
};

class RecordingMidiOut : public StackObject<IMPMidiOut> {
public:
    explicit RecordingMidiOut(Clock* clock = nullptr) : clock_(clock) {}
    virtual ~RecordingMidiOut() = default;


    HRESULT STDMETHODCALLTYPE Send(MPEvent* events, uint32_t count) override {
        std::lock_guard<std::mutex> lock(mutex_);
        for (uint32_t i = 0; i < count; ++i) {
            SentEvent sent{events[i], {}, clock_ ? clock_->TickCount() : 0, count};
            if (events[i].Type == MP_EVENT_SYSX && events[i].Data.SysX)
                sent.sysx.assign(events[i].Data.SysX, events[i].Data.SysX + events[i].Length);
            sent_.push_back(sent);
        }
        return S_OK;
    }

    std::vector<SentEvent> Sent() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return sent_;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        sent_.clear();
    }

private:
    Clock* clock_;
    mutable std::mutex mutex_;
    std::vector<SentEvent> sent_;
};
