// Byte-level MIDI helpers of the simulated instrument: message shapes, the
// splitting of a template byte string into the messages the transfer engine
// sends, and the loop-value placeholders F1/F2.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/druv_template.h"

namespace druv::simulator {

using MidiMessage = std::vector<uint8_t>;

constexpr uint8_t kSysXStart = 0xF0;
constexpr uint8_t kSysXEnd = 0xF7;
constexpr uint8_t kLoopPlaceholderFirst = 0xF1;
constexpr uint8_t kLoopPlaceholderSecond = 0xF2;
constexpr uint8_t kPauseCommand = 0xF3;

// Data bytes after a channel status byte (80..EF): 1 for program change and
// channel pressure, 2 for the others; -1 for anything that is not one.
int ChannelDataByteCount(uint8_t status);

// A whole SysX message (F0 .. F7, data bytes between) or a whole channel
// message (status and its data bytes, nothing more).
bool IsCompleteSysX(const uint8_t* bytes, size_t size);
bool IsCompleteChannelMessage(const uint8_t* bytes, size_t size);

// The messages that a template byte string puts on the wire, in order, cut at
// status bytes and pause commands as the engine cuts them. Pauses are left
// out; placeholders stay in place. A channel message cut short by the end of
// the string ends the list, as it ends the engine's send.
std::vector<MidiMessage> SplitTemplateMessages(const std::vector<uint8_t>& bytes);

// Replaces every F1 and F2 among the bytes by its part of `value` as the
// format (LoopValFormat) says; an unknown format leaves them as they are.
void InsertLoopValue(uint8_t* bytes, size_t size, int32_t value, int32_t format);

}  // namespace druv::simulator
