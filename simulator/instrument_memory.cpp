#include "simulator/instrument_memory.h"

namespace druv::simulator {

InstrumentMemory::InstrumentMemory(const InstrumentDefinition& definition) {
  templates_.resize(definition.templates.size());
  for (size_t t = 0; t < templates_.size(); ++t)
    templates_[t].loops.resize(static_cast<size_t>(definition.templates[t].LoopCount()));
}

int InstrumentMemory::LoopCount(size_t templateIndex) const {
  return templateIndex < templates_.size() ? static_cast<int>(templates_[templateIndex].loops.size()) : 0;
}

const std::vector<MidiMessage>& InstrumentMemory::Slot(size_t templateIndex, int loop) const {
  static const std::vector<MidiMessage> kNoSlot;
  if (loop < 0 || loop >= LoopCount(templateIndex)) return kNoSlot;
  return templates_[templateIndex].loops[static_cast<size_t>(loop)];
}

bool InstrumentMemory::SetSlot(size_t templateIndex, int loop, std::vector<MidiMessage> messages) {
  if (loop < 0 || loop >= LoopCount(templateIndex)) return false;
  templates_[templateIndex].loops[static_cast<size_t>(loop)] = std::move(messages);
  return true;
}

bool InstrumentMemory::ReplaceMessage(size_t templateIndex, int loop, size_t messageIndex, MidiMessage message) {
  if (loop < 0 || loop >= LoopCount(templateIndex)) return false;
  auto& slot = templates_[templateIndex].loops[static_cast<size_t>(loop)];
  if (messageIndex >= slot.size()) return false;
  slot[messageIndex] = std::move(message);
  return true;
}

size_t InstrumentMemory::KeyLength(size_t templateIndex) const {
  return templateIndex < templates_.size() ? templates_[templateIndex].keyLength : 0;
}

void InstrumentMemory::SetKeyLength(size_t templateIndex, size_t length) {
  if (templateIndex < templates_.size()) templates_[templateIndex].keyLength = length;
}

size_t InstrumentMemory::SlotBytes(size_t templateIndex, int loop) const {
  size_t total = 0;
  for (const MidiMessage& message : Slot(templateIndex, loop)) total += message.size();
  return total;
}

std::vector<uint8_t> InstrumentMemory::StoredForm(size_t templateIndex, bool includeChannelMessages) const {
  std::vector<uint8_t> stored;
  for (int loop = 0; loop < LoopCount(templateIndex); ++loop) {
    for (const MidiMessage& message : Slot(templateIndex, loop)) {
      if (message.empty()) continue;
      if (message[0] != kSysXStart && !includeChannelMessages) continue;
      stored.insert(stored.end(), message.begin(), message.end());
    }
    stored.push_back(0xFF);
  }
  return stored;
}

}  // namespace druv::simulator
