// One request loop of a receive: the loop's window opens, the Request goes
// out, and the transfer thread looks every 30 milliseconds at what the input
// handlers stored until the loop is complete, has timed out or has failed.
#pragma once

#include <cstdint>

#include "plugin/engine/checksum.h"
#include "plugin/engine/transfer_context.h"

class DRUVTemplate;
class DumpItem;
class TransferProgress;

extern const char kOverrunText[];
extern const char kMissingBytesFormat[];
// A loop holds a message that fails the dump's checksum rule; filled with
// the loop's number, counted from 1 over all of the item's loops.
extern const char kChecksumMismatchFormat[];

constexpr uint32_t kReceivePassMilliseconds = 30;

// The receive of one item, shared by its loops.
struct ItemReceive {
    const TransferContext& context;
    const DRUVTemplate& dumpTemplate;
    DumpItem& item;
    TransferProgress& progress;
    int32_t loopCount;     // loops of the item (ItemLoopCount)
    // With CSumVerify: every received message that the dump's rule fits is
    // checked against it.
    bool verify;
    ChecksumRule dumpRule;
    bool replied = false;  // some reply arrived since the item's first loop began
};

// The bytes a loop may receive plus one: Size + 1 for a one-loop template,
// else LoopRecvSize + 1.
int64_t ExpectedLoopSize(const DRUVTemplate& dumpTemplate, int32_t loopCount);

// How long a loop of a template with TimeOut waits, in milliseconds from the
// start of the loop: about two thirds of a millisecond per byte of the
// request and the reply.
uint32_t LoopTimeOutWindow(const DRUVTemplate& dumpTemplate, int32_t loopCount);

// Runs one loop at the current write position. A loop ends when its reply is
// complete by the template's rules: its size, its first message (one message
// of unknown length, or any one message without FixedLength), a count of
// messages, a quiet gap after its first message, a terminator, or its
// time-out. Each loop that ends adds its bytes and its FF to the item's
// Length. False when the receive must fail: abort, overrun, a first reply of
// the wrong size, a message whose checksum does not match, or a failed
// Request; the loop's window is then closed and any error text shown, and
// the failed loop is not counted.
bool ReceiveLoop(ItemReceive& receive);
