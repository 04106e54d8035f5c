// What the simulated instrument knows of its device definition: a snapshot of
// the fields that shape requests and replies. Taking a copy keeps the
// instrument independent of the engine's use of the live definition (whose
// transfer state changes while the instrument answers on its own thread).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "simulator/midi_bytes.h"
#include "simulator/sysx_checksum.h"

class DRUVDevice;

namespace druv::simulator {

// Where a SysX message carries the device ID (SysXChanOfs, SysXChanMax).
struct DeviceIdPlacement {
  int32_t offset = 0;  // counted from F0; 0: no device ID
  uint8_t maxId = 15;  // above 15 the whole byte is the ID, else its low nybble

  bool WholeByte() const { return maxId > 15; }
  uint8_t Mask() const { return WholeByte() ? 0xFF : 0x0F; }
  // True when a message of `size` bytes has the ID byte (never the F0 or F7).
  bool Fits(size_t size) const { return offset > 0 && size >= 2 && static_cast<size_t>(offset) < size - 1; }
  void Insert(uint8_t* message, size_t size, uint8_t id) const;
  // The ID a message carries (the masked byte), when it carries one.
  bool Carries(const uint8_t* message, size_t size, uint8_t id) const;
};

struct TemplateDefinition {
  std::string name;
  int32_t size = 0;
  ChecksumRule checksum;
  int32_t numLoops = 1;
  int32_t loopStart = 0;
  int32_t loopIncDec = 1;
  int32_t loopRecvSize = 0;
  int32_t loopValFormat = kLoop14BitLowHigh;
  bool useMidiChannel = false;
  bool fixedLength = true;
  bool multiSysX = false;
  std::vector<uint8_t> request;
  std::vector<uint8_t> terminator;

  // Request loops as the engine runs them: a stored 0 counts as 1, a
  // negative count as none.
  int LoopCount() const { return numLoops == 0 ? 1 : (numLoops < 0 ? 0 : numLoops); }
  int32_t LoopValue(int loop) const;
  // Bytes of one loop's reply, F0..F7 of every message: Size for a
  // single-loop template, LoopRecvSize otherwise.
  int32_t LoopReplySize() const { return LoopCount() == 1 ? size : loopRecvSize; }
};

struct InstrumentDefinition {
  DeviceIdPlacement deviceId;
  bool usesMidiChannel = false;  // MidiChannel flag of the device
  std::vector<TemplateDefinition> templates;
};

// Snapshot of a loaded or built device definition.
InstrumentDefinition DefinitionFromDevice(const DRUVDevice& device);

}  // namespace druv::simulator
