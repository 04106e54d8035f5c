// Replaying one item's stored dump: its SysX and channel messages go out
// again with device ID, loop value and checksum renewed, and the template's
// Transmit messages follow the end of every stored loop, with the loop's
// values and address; then, when the template asks, the instrument's
// acknowledgement is awaited (ack_wait.h).
#pragma once

#include <string>

#include "plugin/abi/host_interfaces.h"
#include "plugin/engine/transfer_context.h"

class DRUVDevice;
class DRUVTemplate;
class DumpItem;
class TransferProgress;

// The text shown for an item without data: company, product, the template's
// name when there is a template, then "- No data present.".
std::string NoDataText(const DRUVDevice& device, const DRUVTemplate* dumpTemplate);

// Sends the item's first Length bytes (never more than its Capacity). An item
// without data shows NoDataText and counts as sent. False after a failure (no
// output, no memory for a message copy, a stored channel message without its
// data bytes, the instrument's refusal of a loop, shown with its reply) or an
// abort.
bool SendStoredData(const TransferContext& context, IMPMidiOut* out, const DRUVTemplate* dumpTemplate,
                    const DumpItem& item, TransferProgress& progress);
