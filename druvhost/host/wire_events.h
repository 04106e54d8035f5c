// MIDI messages as bytes on the wire and as the host's event records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plugin/abi/mp_event.h"

namespace druvhost {

// F0 and the SysX bytes of a SysX event, or status and data bytes of a
// channel event. Empty for any other event type.
std::vector<uint8_t> EventToWire(const MPEvent& event);

// The event for one whole message on `port`. A SysX event points into
// `message` (after its F0), which must outlive the event. False for a message
// that is no channel or SysX message.
bool WireToEvent(const uint8_t* message, size_t size, uint32_t port, MPEvent& event);

}  // namespace druvhost
