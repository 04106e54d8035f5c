#include "simulator/message_interpreter.h"

#include <algorithm>

namespace druv::simulator {

namespace {

bool After(const SlotPosition& a, const SlotPosition& b) {
  if (a.templateIndex != b.templateIndex) return a.templateIndex > b.templateIndex;
  if (a.loop != b.loop) return a.loop > b.loop;
  return a.messageIndex > b.messageIndex;
}

}  // namespace

MessageInterpreter::MessageInterpreter(const InstrumentDefinition& definition, uint8_t deviceId, uint8_t midiChannel)
    : definition_(definition), deviceId_(deviceId), midiChannel_(midiChannel & 0x0F) {
  for (const TemplateDefinition& tmpl : definition_.templates) {
    std::vector<RequestPart> parts;
    for (MidiMessage& bytes : SplitTemplateMessages(tmpl.request)) {
      const bool carries = RequestNamesLoop(tmpl, bytes.data(), bytes.size());
      parts.push_back({std::move(bytes), carries});
    }
    requests_.push_back(std::move(parts));
  }
}

size_t MessageInterpreter::RequestPartCount(size_t templateIndex) const {
  return templateIndex < requests_.size() ? requests_[templateIndex].size() : 0;
}

MidiMessage MessageInterpreter::ExpectedRequest(size_t templateIndex, size_t part, int loop) const {
  const TemplateDefinition& tmpl = definition_.templates.at(templateIndex);
  MidiMessage message = requests_.at(templateIndex).at(part).bytes;
  const int32_t value = tmpl.LoopValue(loop);
  if (message[0] == kSysXStart) {
    PrepareRequestSysX(definition_, tmpl, loop, deviceId_, message.data(), message.size());
    return message;
  }
  // A channel message with channel 0 goes out on the user's channel when the
  // device asks for one.
  if ((message[0] & 0x0F) == 0 && definition_.usesMidiChannel) message[0] |= midiChannel_;
  InsertLoopValue(message.data() + 1, message.size() - 1, value, tmpl.loopValFormat);
  for (size_t i = 1; i < message.size(); ++i) message[i] &= 0x7F;
  return message;
}

bool MessageInterpreter::SameShape(const uint8_t* message, size_t size, const uint8_t* expected, size_t compareLength,
                                   const ChecksumRule& checksum) const {
  const DeviceIdPlacement& id = definition_.deviceId;
  const bool sysx = message[0] == kSysXStart;
  const bool idHere = sysx && id.Fits(size);
  const std::optional<size_t> checksumAt = sysx ? ChecksumOffset(checksum, size) : std::nullopt;
  for (size_t i = 0; i < compareLength; ++i) {
    if (checksumAt && i == *checksumAt) continue;
    const uint8_t mask = idHere && i == static_cast<size_t>(id.offset) ? static_cast<uint8_t>(~id.Mask()) : 0xFF;
    if ((message[i] & mask) != (expected[i] & mask)) return false;
  }
  return true;
}

MessageKind MessageInterpreter::Refusal(const uint8_t* message, size_t size, const ChecksumRule& checksum) const {
  if (message[0] != kSysXStart) return MessageKind::Unrecognised;
  if (!definition_.deviceId.Carries(message, size, deviceId_)) return MessageKind::WrongDeviceId;
  if (!HasValidChecksum(checksum, message, size)) return MessageKind::BadChecksum;
  return MessageKind::Unrecognised;
}

std::optional<Interpretation> MessageInterpreter::MatchRequest(
    const uint8_t* message, size_t size, std::optional<std::pair<size_t, int>> preferredLoop) const {
  std::optional<Interpretation> refused;
  for (size_t t = 0; t < requests_.size(); ++t) {
    const TemplateDefinition& tmpl = definition_.templates[t];
    const int loops = tmpl.LoopCount();
    if (loops == 0) continue;
    for (size_t part = 0; part < requests_[t].size(); ++part) {
      if (requests_[t][part].bytes.size() != size) continue;
      std::vector<int> candidates;
      if (!requests_[t][part].carriesLoopValue) {
        candidates.push_back(0);
      } else {
        if (preferredLoop && preferredLoop->first == t && preferredLoop->second < loops)
          candidates.push_back(preferredLoop->second);
        for (int loop = 0; loop < loops; ++loop) candidates.push_back(loop);
      }
      for (int loop : candidates) {
        const MidiMessage expected = ExpectedRequest(t, part, loop);
        if (!SameShape(message, size, expected.data(), size, tmpl.requestChecksum)) continue;
        Interpretation found;
        found.templateIndex = t;
        if (requests_[t][part].carriesLoopValue) found.loop = loop;
        found.kind = Refusal(message, size, tmpl.requestChecksum);
        if (found.kind == MessageKind::Unrecognised) {
          found.kind = part + 1 == requests_[t].size() ? MessageKind::Request : MessageKind::RequestPart;
          return found;
        }
        if (!refused) refused = found;
        break;
      }
    }
  }
  return refused;
}

std::optional<Interpretation> MessageInterpreter::MatchDump(const uint8_t* message, size_t size,
                                                            const InstrumentMemory& memory,
                                                            std::optional<SlotPosition> lastStoredDump) const {
  if (message[0] != kSysXStart) return std::nullopt;
  std::optional<SlotPosition> first;
  std::optional<SlotPosition> next;
  std::optional<Interpretation> refused;
  for (size_t t = 0; t < memory.TemplateCount() && t < definition_.templates.size(); ++t) {
    const TemplateDefinition& tmpl = definition_.templates[t];
    const ChecksumRule& checksum = tmpl.checksum;
    const bool unknownLength = tmpl.unknownLength;
    const size_t longest = static_cast<size_t>(std::max(tmpl.LoopReplySize(), 0));
    const size_t keyLength = std::min(memory.KeyLength(t), size - 1);
    for (int loop = 0; loop < memory.LoopCount(t); ++loop) {
      const std::vector<MidiMessage>& slot = memory.Slot(t, loop);
      for (size_t m = 0; m < slot.size(); ++m) {
        const MidiMessage& stored = slot[m];
        // A reply of unknown length goes back in whatever length it has.
        const bool fits = stored.size() == size || (unknownLength && size <= longest);
        if (!fits || stored[0] != kSysXStart) continue;
        if (!SameShape(message, size, stored.data(), keyLength, checksum)) continue;
        const MessageKind refusal = Refusal(message, size, checksum);
        if (refusal != MessageKind::Unrecognised) {
          if (!refused) refused = Interpretation{refusal, t, loop, m, true};
          continue;
        }
        const SlotPosition position{t, loop, m};
        if (!first) first = position;
        if (!next && lastStoredDump && After(position, *lastStoredDump)) next = position;
      }
    }
  }
  if (!first) return refused;
  const SlotPosition chosen = next ? *next : *first;
  return Interpretation{MessageKind::Dump, chosen.templateIndex, chosen.loop, chosen.messageIndex, true};
}

Interpretation MessageInterpreter::Interpret(const uint8_t* message, size_t size, const InstrumentMemory& memory,
                                             std::optional<std::pair<size_t, int>> preferredLoop,
                                             std::optional<SlotPosition> lastStoredDump) const {
  if (!IsCompleteSysX(message, size) && !IsCompleteChannelMessage(message, size))
    return Interpretation{MessageKind::Malformed, 0, std::nullopt, 0};
  std::optional<Interpretation> request = MatchRequest(message, size, preferredLoop);
  if (request && (request->kind == MessageKind::Request || request->kind == MessageKind::RequestPart))
    return *request;
  std::optional<Interpretation> dump = MatchDump(message, size, memory, lastStoredDump);
  if (dump && dump->kind == MessageKind::Dump) return *dump;
  if (request) return *request;
  if (dump) return *dump;
  return Interpretation{};
}

}  // namespace druv::simulator
