// Fills an instrument's memory with deterministic pseudo-random dumps, each a
// valid SysX message shaped the way the transfer engine expects the replies of
// its template.
#pragma once

#include <cstddef>
#include <cstdint>

#include "simulator/instrument_definition.h"
#include "simulator/instrument_memory.h"
#include "simulator/midi_bytes.h"

namespace druv::simulator {

struct MemoryGeneratorOptions {
  uint64_t seed = 0x5EED;
  uint8_t deviceId = 0;
  uint8_t midiChannel = 0;  // 0..15
  // Messages per loop for MultiSysX templates; fewer when a loop is too short
  // to hold that many headers.
  int messagesPerMultiSysXLoop = 2;
  // UseMidiChannel templates with MultiSysX: each loop's reply ends with a
  // control change (3 bytes, counted in the loop's size).
  bool channelMessagesInReplies = false;
};

// The reply header of a template's loop: F0 and the bytes of the template's
// last SysX request message before its F7, with the loop value and the device
// ID inserted. A template that requests by channel message only (or not at
// all) gets F0 7D padded to reach the device-ID byte.
MidiMessage ReplyHeader(const InstrumentDefinition& definition, size_t templateIndex, int loop, uint8_t deviceId);

InstrumentMemory GenerateMemory(const InstrumentDefinition& definition, const MemoryGeneratorOptions& options);

}  // namespace druv::simulator
