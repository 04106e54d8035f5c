// Korg's exclusive messages: `F0 42 3n model func ... F7`, n the MIDI
// channel. A Korg unit answers a dump request with a dump whose function
// code names what it holds; dumps sent to it are loaded where that code
// says.
#pragma once

#include "simulator/profiles/instrument_profile.h"

namespace druv::profiles {

// Whether `message` is `F0 42 3n model` for channel `channel` (any channel
// when `channel` is negative).
bool IsKorgMessage(const Bytes& message, uint8_t model, int channel);

// `F0 42 3n model`, then `body`, then F7.
Bytes KorgMessage(uint8_t channel, uint8_t model, const Bytes& body);

// The same for the later units, whose model ID is several bytes
// (`00 01 51`), followed by at least a function byte.
bool IsKorgMessage(const Bytes& message, const Bytes& model, int channel);
Bytes KorgMessage(uint8_t channel, const Bytes& model, const Bytes& body);

}  // namespace druv::profiles
