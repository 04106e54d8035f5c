#include "simulator/instrument_definition.h"

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

int32_t TemplateDefinition::LoopValue(int loop) const {
  // The engine's loop value is a wrapping 32-bit counter.
  const uint32_t value = static_cast<uint32_t>(loopStart) +
                         static_cast<uint32_t>(loop) * static_cast<uint32_t>(loopIncDec);
  return static_cast<int32_t>(value);
}

}  // namespace druv::simulator
