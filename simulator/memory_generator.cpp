#include "simulator/memory_generator.h"

#include <algorithm>

namespace druv::simulator {

namespace {

// splitmix64: small, fast and the same on every platform.
class DataBytes {
 public:
  explicit DataBytes(uint64_t seed) : state_(seed) {}
  uint8_t Next() { return static_cast<uint8_t>(Mix() >> 57); }  // the top 7 bits: 00..7F

 private:
  uint64_t Mix() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint64_t state_;
};

uint64_t SlotSeed(uint64_t seed, size_t templateIndex, int loop) {
  return seed ^ (static_cast<uint64_t>(templateIndex) * 0x9E3779B97F4A7C15ull) ^
         (static_cast<uint64_t>(static_cast<uint32_t>(loop)) * 0xC2B2AE3D27D4EB4Full);
}

struct MessageShape {
  size_t size;
  bool withPart;
  uint8_t part;
};

MidiMessage BuildSysX(const InstrumentDefinition& definition, const TemplateDefinition& tmpl, const MidiMessage& header,
                      const MessageShape& shape, uint8_t deviceId, DataBytes& data) {
  MidiMessage message(shape.size, 0);
  message.front() = kSysXStart;
  message.back() = kSysXEnd;
  size_t pos = 1;
  for (; pos < header.size() && pos + 1 < shape.size; ++pos) message[pos] = header[pos];
  if (shape.withPart && pos + 1 < shape.size) message[pos++] = shape.part & 0x7F;
  for (; pos + 1 < shape.size; ++pos) message[pos] = data.Next();
  definition.deviceId.Insert(message.data(), message.size(), deviceId);
  StoreChecksum(tmpl.checksum, message.data(), message.size());
  return message;
}

}  // namespace

MidiMessage ReplyHeader(const InstrumentDefinition& definition, size_t templateIndex, int loop, uint8_t deviceId) {
  const TemplateDefinition& tmpl = definition.templates.at(templateIndex);
  MidiMessage header;
  for (const MidiMessage& message : SplitTemplateMessages(tmpl.request))
    if (message[0] == kSysXStart) header = message;
  if (header.empty()) {
    header = {kSysXStart, 0x7D};
    const int32_t offset = definition.deviceId.offset;
    if (offset > 0 && offset < tmpl.LoopReplySize() - 1) header.resize(std::max<size_t>(header.size(), offset + 1u), 0);
  } else if (header.back() == kSysXEnd) {
    header.pop_back();
  }
  // The same order as the engine's: device ID, then loop value. The header is
  // taken as if the message went on past it, so the ID byte may be its last.
  definition.deviceId.Insert(header.data(), header.size() + 1, deviceId);
  InsertLoopValue(header.data(), header.size(), tmpl.LoopValue(loop), tmpl.loopValFormat);
  InsertLoopFields(tmpl, loop, header.data(), header.size() + 1);
  // Template strings may hold bytes that are no data bytes (F4..FE); a reply
  // carries data bytes only.
  for (size_t i = 1; i < header.size(); ++i) header[i] &= 0x7F;
  return header;
}

InstrumentMemory GenerateMemory(const InstrumentDefinition& definition, const MemoryGeneratorOptions& options) {
  InstrumentMemory memory(definition);
  for (size_t t = 0; t < definition.templates.size(); ++t) {
    const TemplateDefinition& tmpl = definition.templates[t];
    const int32_t replySize = tmpl.LoopReplySize();
    const bool multi = tmpl.multiSysX;
    const bool parted = multi && !tmpl.unknownLength;  // messages carry their part number after the header
    memory.SetKeyLength(t, ReplyHeader(definition, t, 0, options.deviceId).size() + (parted ? 1 : 0));
    if (replySize < 2) continue;

    for (int loop = 0; loop < tmpl.LoopCount(); ++loop) {
      const MidiMessage header = ReplyHeader(definition, t, loop, options.deviceId);
      DataBytes data(SlotSeed(options.seed, t, loop));
      auto sysxBytes = static_cast<size_t>(replySize);
      if (tmpl.unknownLength) {
        // One message of a length the seed chooses, from a header and one
        // data byte up to the loop's size.
        const size_t shortest = std::min(sysxBytes, header.size() + 3);
        size_t choice = data.Next();
        choice = choice << 7 | data.Next();
        choice = choice << 7 | data.Next();
        sysxBytes = shortest + choice % (sysxBytes - shortest + 1);
        memory.SetSlot(t, loop, {BuildSysX(definition, tmpl, header, {sysxBytes, false, 0}, options.deviceId, data)});
        continue;
      }
      const bool channelMessage = multi && tmpl.useMidiChannel && options.channelMessagesInReplies && sysxBytes >= 5;
      if (channelMessage) sysxBytes -= 3;

      size_t parts = 1;
      if (multi) {
        parts = static_cast<size_t>(std::max(1, options.messagesPerMultiSysXLoop));
        const size_t minimum = header.size() + 2;  // header, part number, F7
        while (parts > 1 && sysxBytes / parts < minimum) --parts;
      }
      std::vector<MidiMessage> slot;
      const size_t base = sysxBytes / parts;
      for (size_t p = 0; p < parts; ++p) {
        const size_t size = p + 1 == parts ? sysxBytes - base * (parts - 1) : base;
        slot.push_back(BuildSysX(definition, tmpl, header, {size, multi, static_cast<uint8_t>(p)}, options.deviceId, data));
      }
      if (channelMessage) {
        slot.push_back({static_cast<uint8_t>(0xB0 | (options.midiChannel & 0x0F)),
                        static_cast<uint8_t>(loop & 0x7F), data.Next()});
      }
      memory.SetSlot(t, loop, std::move(slot));
    }
  }
  return memory;
}

}  // namespace druv::simulator
