// The transfer engine's entry points for the filter object and the editor
// page: receiving dumps, sending them back, the input handlers that the
// host's MIDI input thread calls, and the detection probe.
#pragma once

#include <cstdint>

class DRUVData;
class DRUVDevice;
class DRUVTemplate;
struct IMPProgressSink;

// Fetches the dumps of the items selected by `mask` from the instrument into
// the store. Runs on the caller's thread until the transfer ends; replies
// arrive meanwhile through OnShortMessage and OnSysX on another thread.
// `context` is handed to the progress sink. True when every selected item was
// processed; false after an error, an abort, or a null store.
bool ReceiveDumps(DRUVDevice& device, DRUVData* data, uint32_t mask, IMPProgressSink* sink, void* context);

// Sends the stored dumps of the selected items back to the instrument, with
// device ID, loop value and checksums renewed. True when every selected item
// was sent or reported as empty; false after a send failure or an abort.
bool TransmitDumps(DRUVDevice& device, DRUVData* data, uint32_t mask, IMPProgressSink* sink, void* context);

// Input handlers, called on the host's MIDI input thread for events on the
// store's input port. They allocate nothing and never block.
// `packed`: status in bits 0-7, data 1 in bits 8-15, data 2 in bits 16-23.
void OnShortMessage(DRUVDevice& device, uint32_t packed);
// `bytes`: the message after its F0, the closing F7 included.
void OnSysX(DRUVDevice& device, bool secondKind, const uint8_t* bytes, uint32_t count);

// The detection probe: the template whose request shows that the instrument
// answers, whether there is one, and sending that request.
const DRUVTemplate* FindDetectTemplate(const DRUVDevice& device);
bool HasDetectTemplate(const DRUVDevice& device);
bool StartDetect(DRUVDevice& device, DRUVData* data);
