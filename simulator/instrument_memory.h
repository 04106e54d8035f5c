// The instrument's memory: for each template and each of its request loops,
// the messages the instrument sends when that loop is requested (a slot).
// Dumps sent back to the instrument overwrite the messages of their slot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "simulator/instrument_definition.h"
#include "simulator/midi_bytes.h"

namespace druv::simulator {

class InstrumentMemory {
 public:
  InstrumentMemory() = default;
  // One empty slot per request loop of each template.
  explicit InstrumentMemory(const InstrumentDefinition& definition);

  size_t TemplateCount() const { return templates_.size(); }
  int LoopCount(size_t templateIndex) const;

  // The slot's messages; empty for a slot that does not exist.
  const std::vector<MidiMessage>& Slot(size_t templateIndex, int loop) const;
  // False (nothing changed) for a slot that does not exist.
  bool SetSlot(size_t templateIndex, int loop, std::vector<MidiMessage> messages);
  bool ReplaceMessage(size_t templateIndex, int loop, size_t messageIndex, MidiMessage message);

  // Leading bytes of a template's SysX messages that identify their slot
  // (F0 and the header; with several messages per loop, the part number
  // after it). A dump sent back is stored where these bytes agree.
  size_t KeyLength(size_t templateIndex) const;
  void SetKeyLength(size_t templateIndex, size_t length);

  // Sum of the lengths of the slot's messages.
  size_t SlotBytes(size_t templateIndex, int loop) const;

  // The template's dump as the transfer engine stores it after a receive of
  // all loops: each loop's messages in order, then FF. Channel messages are
  // part of it only when the template stores them (UseMidiChannel).
  std::vector<uint8_t> StoredForm(size_t templateIndex, bool includeChannelMessages) const;

  bool operator==(const InstrumentMemory& other) const {
    return templates_ == other.templates_;
  }
  bool operator!=(const InstrumentMemory& other) const { return !(*this == other); }

 private:
  struct TemplateSlots {
    std::vector<std::vector<MidiMessage>> loops;
    size_t keyLength = 1;
    bool operator==(const TemplateSlots& other) const { return loops == other.loops; }
  };
  std::vector<TemplateSlots> templates_;
};

}  // namespace druv::simulator
