#include "simulator/midi_bytes.h"

namespace druv::simulator {

int ChannelDataByteCount(uint8_t status) {
  if (status < 0x80 || status > 0xEF) return -1;
  const uint8_t kind = status & 0xF0;
  return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

bool IsCompleteSysX(const uint8_t* bytes, size_t size) {
  if (bytes == nullptr || size < 2 || bytes[0] != kSysXStart || bytes[size - 1] != kSysXEnd) return false;
  for (size_t i = 1; i + 1 < size; ++i)
    if (bytes[i] >= 0x80) return false;
  return true;
}

bool IsCompleteChannelMessage(const uint8_t* bytes, size_t size) {
  if (bytes == nullptr || size == 0) return false;
  const int dataBytes = ChannelDataByteCount(bytes[0]);
  if (dataBytes < 0 || size != static_cast<size_t>(dataBytes) + 1) return false;
  for (size_t i = 1; i < size; ++i)
    if (bytes[i] >= 0x80) return false;
  return true;
}

namespace {

bool IsBoundary(uint8_t byte) { return (byte >= 0x80 && byte <= kSysXStart) || byte == kPauseCommand; }

}  // namespace

std::vector<MidiMessage> SplitTemplateMessages(const std::vector<uint8_t>& bytes) {
  std::vector<MidiMessage> messages;
  const size_t length = bytes.size();
  size_t start = 0;
  for (size_t pos = 0; pos <= length; ++pos) {
    if (pos < length && !IsBoundary(bytes[pos])) continue;
    if (pos == 0 || bytes[start] < 0x80) {
      start = pos;
      continue;
    }
    const uint8_t first = bytes[start];
    if (first == kSysXStart) {
      messages.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                            bytes.begin() + static_cast<std::ptrdiff_t>(pos));
    } else if (first >= 0x80 && first <= 0xEF) {
      // Data bytes are taken from the string even across a boundary.
      const auto dataBytes = static_cast<size_t>(ChannelDataByteCount(first));
      if (start + dataBytes >= length) return messages;
      MidiMessage message(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                          bytes.begin() + static_cast<std::ptrdiff_t>(start + 1 + dataBytes));
      messages.push_back(std::move(message));
    } else if (first != kPauseCommand) {
      return messages;  // a string that starts with F1, F2 or F4..FF sends nothing
    }
    start = pos;
  }
  return messages;
}

void InsertLoopValue(uint8_t* bytes, size_t size, int32_t value, int32_t format) {
  const auto v = static_cast<uint32_t>(value);
  uint8_t first = 0;
  uint8_t second = 0;
  switch (format) {
    case kLoop14BitLowHigh: first = v & 0x7F; second = (v >> 7) & 0x7F; break;
    case kLoop14BitHighLow: first = (v >> 7) & 0x7F; second = v & 0x7F; break;
    case kLoopNybbleLowHigh: first = v & 0x0F; second = (v >> 4) & 0x0F; break;
    case kLoopNybbleHighLow: first = (v >> 4) & 0x0F; second = v & 0x0F; break;
    default: return;
  }
  for (size_t i = 0; i < size; ++i) {
    if (bytes[i] == kLoopPlaceholderFirst) bytes[i] = first;
    else if (bytes[i] == kLoopPlaceholderSecond) bytes[i] = second;
  }
}

}  // namespace druv::simulator
