// Decides what a message from the host means to the instrument: a request of
// one of its templates (or a part of a request made of several messages), a
// dump for one of its memory slots, or something it refuses or ignores.
// Pure: the instrument keeps all state and applies the outcome.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "simulator/instrument_definition.h"
#include "simulator/instrument_memory.h"
#include "simulator/midi_bytes.h"

namespace druv::simulator {

enum class MessageKind {
  Request,        // the last message of a template's Request: answer the loop
  RequestPart,    // an earlier message of a Request made of several
  Dump,           // a dump for a memory slot: store it
  WrongDeviceId,  // a request or dump for another device ID: refused
  BadChecksum,    // a request or dump whose checksum does not add up: refused
  Unrecognised,   // a well-formed message the instrument has no use for
  Malformed,      // not a whole SysX or channel message
};

struct SlotPosition {
  size_t templateIndex = 0;
  int loop = 0;
  size_t messageIndex = 0;
};

struct Interpretation {
  MessageKind kind = MessageKind::Unrecognised;
  size_t templateIndex = 0;
  // Request: the loop the message asks for; nothing when the request carries
  // no loop value (the instrument then answers its loops in turn).
  std::optional<int> loop;
  size_t messageIndex = 0;  // Dump: which message of the slot
  bool dump = false;        // the message is (or was refused as) a dump
};

class MessageInterpreter {
 public:
  MessageInterpreter(const InstrumentDefinition& definition, uint8_t deviceId, uint8_t midiChannel);

  // `preferredLoop`: loop named by an earlier part of the same request; it
  // wins where several loops would match. `lastStoredDump`: where the last
  // dump went; of several slots that fit equally, the next one after it wins,
  // so that dumps without a loop value fill successive loops.
  Interpretation Interpret(const uint8_t* message, size_t size, const InstrumentMemory& memory,
                           std::optional<std::pair<size_t, int>> preferredLoop,
                           std::optional<SlotPosition> lastStoredDump) const;

  // The message the engine sends for part `part` of a template's Request in
  // loop `loop`, as this instrument expects it (own device ID and channel).
  MidiMessage ExpectedRequest(size_t templateIndex, size_t part, int loop) const;
  size_t RequestPartCount(size_t templateIndex) const;

 private:
  struct RequestPart {
    MidiMessage bytes;
    bool carriesLoopValue = false;
  };

  std::optional<Interpretation> MatchRequest(const uint8_t* message, size_t size,
                                             std::optional<std::pair<size_t, int>> preferredLoop) const;
  std::optional<Interpretation> MatchDump(const uint8_t* message, size_t size, const InstrumentMemory& memory,
                                          std::optional<SlotPosition> lastStoredDump) const;
  MessageKind Refusal(const uint8_t* message, size_t size, const ChecksumRule& checksum) const;
  bool SameShape(const uint8_t* message, size_t size, const uint8_t* expected, size_t compareLength,
                 const ChecksumRule& checksum) const;

  const InstrumentDefinition& definition_;
  uint8_t deviceId_;
  uint8_t midiChannel_;
  std::vector<std::vector<RequestPart>> requests_;
};

}  // namespace druv::simulator
