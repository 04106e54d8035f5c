#include "plugin/host/filter_events.h"

#include "plugin/engine/transfer_engine.h"

namespace {

// Status byte for each channel event type; 0 for any other type.
uint8_t ChannelStatus(uint32_t type) {
    switch (type) {
    case MP_EVENT_NOTE_OFF: return 0x80;
    case MP_EVENT_NOTE_ON: return 0x90;
    case MP_EVENT_KEY_PRESSURE: return 0xA0;
    case MP_EVENT_CONTROL_CHANGE: return 0xB0;
    case MP_EVENT_PROGRAM_CHANGE: return 0xC0;
    case MP_EVENT_CHANNEL_PRESSURE: return 0xD0;
    case MP_EVENT_PITCH_BEND: return 0xE0;
    default: return 0;
    }
}

bool HasOneDataByte(uint8_t status) { return status == 0xC0 || status == 0xD0; }

}  // namespace

EngineInput TranslateEvent(const MPEvent& event) {
    EngineInput input;
    if (event.Type == MP_EVENT_SYSX || event.Type == MP_EVENT_SYSX_SECOND_KIND) {
        if (!event.Data.SysX || event.Length == 0) return input;
        input.kind = EngineInput::Kind::SysX;
        input.secondKind = event.Type == MP_EVENT_SYSX_SECOND_KIND;
        input.bytes = event.Data.SysX;
        input.count = event.Length;
        return input;
    }
    uint8_t status = ChannelStatus(event.Type);
    if (status == 0) return input;
    uint32_t data1 = event.Data.Short[0];
    uint32_t data2 = HasOneDataByte(status) ? 0 : event.Data.Short[1];
    input.kind = EngineInput::Kind::ShortMessage;
    input.packed = (status | (event.Channel & 0x0F)) | (data1 << 8) | (data2 << 16);
    return input;
}

HRESULT DeliverEvents(IMPEventList* events, TransferState& state, uint32_t inPort) {
    if (!events) return E_POINTER;
    uintptr_t position = 0;
    MPEvent event{};
    uint32_t value = 0;
    HRESULT result = events->First(&position, &event, &value, kMPEventTypeMask);
    while (result == S_OK && position != 0) {
        if (inPort != 0 && event.Port == inPort) {
            EngineInput input = TranslateEvent(event);
            if (input.kind == EngineInput::Kind::ShortMessage) {
                OnShortMessage(state, input.packed);
            } else if (input.kind == EngineInput::Kind::SysX) {
                OnSysX(state, input.secondKind, input.bytes, input.count);
            }
        }
        event = MPEvent{};
        result = events->Next(&position, &event, &value, kMPEventTypeMask);
    }
    return S_OK;
}
