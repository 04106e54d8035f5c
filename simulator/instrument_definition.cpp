#include "simulator/instrument_definition.h"

#include <vector>

namespace druv::simulator {

void DeviceIdPlacement::Insert(uint8_t* message, size_t size, uint8_t id) const {
  if (!Fits(size)) return;
  uint8_t& byte = message[offset];
  byte = WholeByte() ? id : static_cast<uint8_t>((byte & 0xF0) | (id & 0x0F));
}

bool DeviceIdPlacement::Carries(const uint8_t* message, size_t size, uint8_t id) const {
  if (!Fits(size)) return true;
  return (message[offset] & Mask()) == (id & Mask());
}

namespace {

// The engine's loop values are wrapping 32-bit counters.
int32_t Stepped(int32_t start, int32_t step, int times) {
  return static_cast<int32_t>(static_cast<uint32_t>(start) +
                              static_cast<uint32_t>(times) * static_cast<uint32_t>(step));
}

// True when `count` bytes from `offset` lie between the F0 and the last byte.
bool FieldFits(int32_t offset, size_t count, size_t size) {
  return offset > 0 && count > 0 && static_cast<size_t>(offset) + count <= size - 1 && size >= 2;
}

}  // namespace

int32_t TemplateDefinition::LoopValue(int loop) const {
  const int inner = InnerLoopCount();
  return Stepped(loopStart, loopIncDec, outer.count > 0 && inner > 0 ? loop % inner : loop);
}

int32_t TemplateDefinition::OuterValue(int loop) const {
  const int inner = InnerLoopCount();
  return Stepped(outer.start, outer.step, inner > 0 ? loop / inner : 0);
}

void InsertLoopFields(const TemplateDefinition& tmpl, int loop, uint8_t* message, size_t size) {
  if (tmpl.outer.count > 0) {
    const auto value = static_cast<uint32_t>(tmpl.OuterValue(loop));
    std::vector<uint8_t> bytes;
    switch (tmpl.outer.format) {
      case kOuter14BitLowHigh: bytes = {uint8_t(value & 0x7F), uint8_t((value >> 7) & 0x7F)}; break;
      case kOuter14BitHighLow: bytes = {uint8_t((value >> 7) & 0x7F), uint8_t(value & 0x7F)}; break;
      case kOuterNybbleLowHigh: bytes = {uint8_t(value & 0x0F), uint8_t((value >> 4) & 0x0F)}; break;
      case kOuterNybbleHighLow: bytes = {uint8_t((value >> 4) & 0x0F), uint8_t(value & 0x0F)}; break;
      default: bytes = {uint8_t(value & 0x7F)}; break;
    }
    if (FieldFits(tmpl.outer.offset, bytes.size(), size))
      for (size_t i = 0; i < bytes.size(); ++i) message[static_cast<size_t>(tmpl.outer.offset) + i] = bytes[i];
  }
  const LoopAddress& address = tmpl.address;
  if (address.bytes >= 1 && address.bytes <= kMaxAddressBytes &&
      FieldFits(address.offset, static_cast<size_t>(address.bytes), size)) {
    // Seven bits a byte: the low byte holds bits 0-6, the next 7-13, ...
    auto value = static_cast<uint32_t>(Stepped(address.start, address.step, loop));
    for (int i = address.bytes - 1; i >= 0; --i) {
      message[static_cast<size_t>(address.offset + i)] = value & 0x7F;
      value >>= 7;
    }
  }
}

void PrepareRequestSysX(const InstrumentDefinition& definition, const TemplateDefinition& tmpl, int loop,
                        uint8_t deviceId, uint8_t* message, size_t size) {
  definition.deviceId.Insert(message, size, deviceId);
  InsertLoopValue(message, size, tmpl.LoopValue(loop), tmpl.loopValFormat);
  InsertLoopFields(tmpl, loop, message, size);
  StoreChecksum(tmpl.requestChecksum, message, size);
}

bool RequestNamesLoop(const TemplateDefinition& tmpl, const uint8_t* message, size_t size) {
  const bool sysx = size > 0 && message[0] == kSysXStart;
  if (sysx && tmpl.outer.count > 0 && FieldFits(tmpl.outer.offset, 1, size)) return true;
  if (sysx && tmpl.address.bytes >= 1 && tmpl.address.bytes <= kMaxAddressBytes &&
      FieldFits(tmpl.address.offset, static_cast<size_t>(tmpl.address.bytes), size))
    return true;
  if (tmpl.loopValFormat < kLoop14BitLowHigh || tmpl.loopValFormat > kLoopNybbleHighLow) return false;
  for (size_t i = 1; i < size; ++i)
    if (message[i] == kLoopPlaceholderFirst || message[i] == kLoopPlaceholderSecond) return true;
  return false;
}

}  // namespace druv::simulator
