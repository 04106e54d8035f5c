// The records exchanged with the host: one MIDI event and a list of MIDI ports.
// The host was built for 32-bit Windows, where these records have a fixed byte
// layout (checked below); in 64-bit builds only the pointer fields widen.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/com_base.h"

// Event type codes: one bit per kind, the same in both directions.
enum MPEventType : uint32_t {
    MP_EVENT_NOTE_OFF = 0x20,
    MP_EVENT_NOTE_ON = 0x40,
    MP_EVENT_KEY_PRESSURE = 0x80,
    MP_EVENT_CONTROL_CHANGE = 0x100,
    MP_EVENT_PROGRAM_CHANGE = 0x200,
    MP_EVENT_CHANNEL_PRESSURE = 0x400,
    MP_EVENT_PITCH_BEND = 0x800,
    MP_EVENT_SYSX = 0x10000,
    MP_EVENT_SYSX_SECOND_KIND = 0x20000,
};

// The kinds of event the plug-in asks the host's event list for.
constexpr uint32_t kMPEventTypeMask = 0x3F0FFF;

// The value at offset 32 of every event the plug-in sends.
constexpr uint32_t kMPEventRoutingPlugIn = 2;

struct MPEvent {
    uint32_t Type;  // one MPEventType bit
    uint32_t Reserved4;
    uint32_t Reserved8;
    uint32_t Port;     // host port handle
    uint32_t Channel;  // 0 to 15
    uint32_t Reserved20[3];
    uint32_t Routing;  // kMPEventRoutingPlugIn in events the plug-in sends
    uint32_t Reserved36;
    uint32_t Length;  // SysX: byte count at Data.SysX
    union {
        uint8_t* SysX;     // SysX: the bytes after the leading F0, F7 included
        uint8_t Short[4];  // channel event: data bytes 1 and 2 in [0] and [1]
    } Data;
    uint32_t Reserved48[4];
};

// Identity of a MIDI port as the host reports it; kept with the project.
typedef GUID MPPortId;

struct MPPortEntry {
    uint32_t Handle;  // nonzero; 0 stands for "no port" in the plug-in
    MPPortId Id;
    WCHAR* Name;  // zero-terminated UTF-16 display name
};

// Owned by the host.
struct MPPortList {
    uint32_t Count;
    MPPortEntry* Entries;
};

static_assert(offsetof(MPEvent, Type) == 0, "MPEvent layout");
static_assert(offsetof(MPEvent, Port) == 12, "MPEvent layout");
static_assert(offsetof(MPEvent, Channel) == 16, "MPEvent layout");
static_assert(offsetof(MPEvent, Routing) == 32, "MPEvent layout");
static_assert(offsetof(MPEvent, Length) == 40, "MPEvent layout");
static_assert(offsetof(MPPortEntry, Id) == 4, "MPPortEntry layout");
static_assert(sizeof(MPPortId) == 16, "MPPortId layout");

// The host's own layout, which a 32-bit plug-in must match byte for byte.
constexpr bool kHostPointerWidth = sizeof(void*) == 4;
static_assert(!kHostPointerWidth || offsetof(MPEvent, Data) == 44, "MPEvent layout");
static_assert(!kHostPointerWidth || sizeof(MPEvent) == 64, "MPEvent layout");
static_assert(!kHostPointerWidth || offsetof(MPPortEntry, Name) == 20, "MPPortEntry layout");
static_assert(!kHostPointerWidth || sizeof(MPPortEntry) == 24, "MPPortEntry layout");
static_assert(!kHostPointerWidth || offsetof(MPPortList, Entries) == 4, "MPPortList layout");
static_assert(!kHostPointerWidth || sizeof(MPPortList) == 8, "MPPortList layout");
