// Incoming events from the host's list, turned into what the receive
// engine's input handlers take.
#pragma once

#include <cstdint>

#include "platform/com_base.h"
#include "plugin/abi/host_interfaces.h"
#include "plugin/abi/mp_event.h"

struct TransferState;

struct EngineInput {
    enum class Kind { Ignored, ShortMessage, SysX };
    Kind kind = Kind::Ignored;
    // ShortMessage: status in bits 0-7, data 1 in bits 8-15, data 2 in 16-23.
    uint32_t packed = 0;
    // SysX: the bytes after F0 (F7 included) and their count.
    bool secondKind = false;
    const uint8_t* bytes = nullptr;
    uint32_t count = 0;
};

// The channel kinds become status + channel and their data bytes (the
// second data byte 0 for program change and channel pressure); the two SysX
// kinds keep the event's bytes. Any other type, and a SysX without bytes, is
// ignored.
EngineInput TranslateEvent(const MPEvent& event);

// Fetches every event of `events` and hands those on `inPort` to the input
// handlers. Events arrive on ports with nonzero handles, so with no input
// port (0) nothing is handed on. E_POINTER for a null list.
HRESULT DeliverEvents(IMPEventList* events, TransferState& state, uint32_t inPort);
