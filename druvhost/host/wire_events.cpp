#include "druvhost/host/wire_events.h"

namespace druvhost {

namespace {

struct ChannelKind {
    uint32_t type;
    uint8_t status;
    int dataBytes;
};

constexpr ChannelKind kChannelKinds[] = {
    {MP_EVENT_NOTE_OFF, 0x80, 2},       {MP_EVENT_NOTE_ON, 0x90, 2},
    {MP_EVENT_KEY_PRESSURE, 0xA0, 2},   {MP_EVENT_CONTROL_CHANGE, 0xB0, 2},
    {MP_EVENT_PROGRAM_CHANGE, 0xC0, 1}, {MP_EVENT_CHANNEL_PRESSURE, 0xD0, 1},
    {MP_EVENT_PITCH_BEND, 0xE0, 2},
};

}  // namespace

std::vector<uint8_t> EventToWire(const MPEvent& event) {
    if (event.Type == MP_EVENT_SYSX || event.Type == MP_EVENT_SYSX_SECOND_KIND) {
        std::vector<uint8_t> bytes{0xF0};
        if (event.Data.SysX) bytes.insert(bytes.end(), event.Data.SysX, event.Data.SysX + event.Length);
        return bytes;
    }
    for (const ChannelKind& kind : kChannelKinds) {
        if (kind.type != event.Type) continue;
        std::vector<uint8_t> bytes{static_cast<uint8_t>(kind.status | (event.Channel & 0x0F)), event.Data.Short[0]};
        if (kind.dataBytes == 2) bytes.push_back(event.Data.Short[1]);
        return bytes;
    }
    return {};
}

bool WireToEvent(const uint8_t* message, size_t size, uint32_t port, MPEvent& event) {
    event = MPEvent{};
    if (!message || size == 0) return false;
    event.Port = port;
    if (message[0] == 0xF0) {
        event.Type = MP_EVENT_SYSX;
        event.Length = static_cast<uint32_t>(size - 1);
        event.Data.SysX = const_cast<uint8_t*>(message + 1);
        return true;
    }
    for (const ChannelKind& kind : kChannelKinds) {
        if ((message[0] & 0xF0) != kind.status || size < static_cast<size_t>(1 + kind.dataBytes)) continue;
        event.Type = kind.type;
        event.Channel = message[0] & 0x0F;
        event.Data.Short[0] = message[1];
        if (kind.dataBytes == 2) event.Data.Short[1] = message[2];
        return true;
    }
    return false;
}

}  // namespace druvhost
