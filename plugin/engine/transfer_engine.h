// The transfer engine's entry points for the filter object and the editor
// page: receiving dumps, sending them back, the input handlers that the
// host's MIDI input thread calls, and the detection probe.
#pragma once

#include <cstdint>

#include "plugin/engine/transfer_context.h"

class DRUVDevice;
class DRUVTemplate;
struct IMPProgressSink;
struct TransferState;

// Fetches the dumps of the items selected by `mask` from the instrument into
// the store. Runs on the caller's thread until the transfer ends; replies
// arrive meanwhile through OnShortMessage and OnSysX on another thread.
// `sinkContext` is handed to the progress sink. True when every selected item
// was processed; false after an error or an abort. Items done before keep
// their new dumps; the item whose loops were not all done gets back the dump
// it held, or, when it held none, keeps its completed loops. Loops that end
// by their time-out are no failure: each keeps its loop marker.
bool ReceiveDumps(const TransferContext& context, uint32_t mask, IMPProgressSink* sink, void* sinkContext);

// Sends the stored dumps of the selected items back to the instrument, with
// device ID, loop value and checksums renewed. True when every selected item
// was sent or reported as empty; false after a send failure or an abort.
bool TransmitDumps(const TransferContext& context, uint32_t mask, IMPProgressSink* sink, void* sinkContext);

// Input handlers, called on the host's MIDI input thread for events on the
// store's input port. They allocate nothing and never block, and need
// nothing but the transfer state: the open receive window carries the template.
// `packed`: status in bits 0-7, data 1 in bits 8-15, data 2 in bits 16-23.
void OnShortMessage(TransferState& state, uint32_t packed);
// `bytes`: the message after its F0, the closing F7 included.
void OnSysX(TransferState& state, bool secondKind, const uint8_t* bytes, uint32_t count);

// The detection probe: the template whose request shows that the instrument
// answers (the first with Verify set, else the last with a request, one loop
// and a reply below 2000 bytes), whether there is one, and sending that
// request.
const DRUVTemplate* FindDetectTemplate(const DRUVDevice& device);
bool HasDetectTemplate(const DRUVDevice& device);

enum class DetectStart {
    Sent,        // the request went out; the state is Detecting until EndActivity
    NoProbe,     // the device has no template to probe with; nothing changed
    Busy,        // a transfer or another detection runs; nothing sent
    SendFailed,  // the request could not be sent; the state is back to Idle
};

// Takes the instance for a detection, fixes the deadline from the probe's
// size and sends its PreRequest and Request. While the state is Detecting,
// any incoming SysX sets reply_seen.
DetectStart StartDetect(const TransferContext& context);
