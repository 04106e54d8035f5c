// Whether a simulated instrument, after a transmit, holds a project's dumps.
// The instrument's memory is compared with the dumps as the instrument
// should have stored them: each SysX message with the instrument's device ID
// and its checksum computed anew. Counting stored messages alone would pass a
// transmit that sent the wrong bytes, so the bytes themselves are compared.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "simulator/instrument_definition.h"
#include "simulator/instrument_memory.h"

namespace druvhost {

// The memory seed of the simulated instrument a transmit goes to: any but
// the default one a receive reads, so that the instrument holds the
// project's dumps only if the transmit put them there.
constexpr uint64_t kTransmitSimulatorSeed = 0x7A5E;

// Empty when every template whose item holds SysX messages matches the
// instrument's slots of that template, message for message in loop order;
// otherwise the first difference in words. `items` holds one dump per
// template in the stored form (loops closed by FF, channel messages kept);
// items without SysX messages are not compared, since nothing of theirs was
// sent. Neither are templates that `sent` marks false (a transmit of one
// configuration leaves the others alone); an empty `sent` means all.
std::string FirstDifferenceFromDumps(const druv::simulator::InstrumentDefinition& definition,
                                     const druv::simulator::InstrumentMemory& held,
                                     const std::vector<std::vector<uint8_t>>& items, uint8_t deviceId,
                                     const std::vector<bool>& sent = {});

// The line druvhost prints after a transmit to the simulated instrument.
std::string TransmitVerdictLine(uint8_t shownDeviceId, const std::string& difference);

}  // namespace druvhost
