// What the simulated instrument knows of its device definition: a snapshot of
// the fields that shape requests and replies. Taking a copy keeps the
// instrument independent of the engine's use of the live definition (whose
// transfer state changes while the instrument answers on its own thread).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "device/template_extensions.h"
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

// A loop value written at a fixed position of a request (the address of a
// loop, the outer loop's value).
struct LoopAddress {
  int32_t offset = 0;  // counted from F0; 0: none
  int32_t bytes = 0;   // 1 to 4 bytes of 7 bits, most significant first
  int32_t start = 0;
  int32_t step = 0;
};

struct OuterLoop {
  int32_t count = 0;  // 0: no outer loop
  int32_t start = 0;
  int32_t step = 1;
  int32_t offset = 0;
  int32_t format = kOuter7Bit;
};

struct TemplateDefinition {
  std::string name;
  int32_t size = 0;
  ChecksumRule checksum;         // of the dumps
  ChecksumRule requestChecksum;  // of the requests
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
  LoopAddress address;
  OuterLoop outer;
  bool unknownLength = false;  // each loop's reply is one message of any length up to the loop's size
  // Sent back for each dump the instrument stores, and for each it refuses.
  std::vector<uint8_t> ackPattern;
  std::vector<uint8_t> ackErrorPattern;

  // The template's own loop as the engine runs it: a stored 0 counts as 1,
  // a negative count as none.
  int InnerLoopCount() const { return numLoops == 0 ? 1 : (numLoops < 0 ? 0 : numLoops); }
  // Every loop of an item, inner loops inside outer ones.
  int LoopCount() const { return outer.count > 0 ? InnerLoopCount() * outer.count : InnerLoopCount(); }
  // The F1/F2 value of loop `loop` (counted over all loops of the item).
  int32_t LoopValue(int loop) const;
  int32_t OuterValue(int loop) const;
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

// The outer loop's value and the loop's address of loop `loop`, where they
// lie between the message's F0 and its last byte.
void InsertLoopFields(const TemplateDefinition& tmpl, int loop, uint8_t* message, size_t size);

// A SysX request message of template `tmpl` as an instrument with
// `deviceId` expects it for loop `loop`: device ID, loop value, outer value,
// address, then the request's checksum.
void PrepareRequestSysX(const InstrumentDefinition& definition, const TemplateDefinition& tmpl, int loop,
                        uint8_t deviceId, uint8_t* message, size_t size);

// Whether a request of this template names its loop (by placeholder,
// address or outer value) in a message of `size` bytes.
bool RequestNamesLoop(const TemplateDefinition& tmpl, const uint8_t* message, size_t size);

}  // namespace druv::simulator
