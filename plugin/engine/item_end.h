// The end of each item of a transfer, the same for receive and transmit.
#pragma once

#include "device/byte_string.h"
#include "plugin/engine/transfer_context.h"

class DRUVTemplate;

// Sends the item's closing string (PostRequest or PostTransmit), then pauses
// the store's ItemDelay plus the template's DelayBetweenSysX when that sum is
// above 0. False when the string could not be sent or Cancel stopped it.
bool EndItem(const TransferContext& context, const DRUVTemplate& dumpTemplate, const ByteString& closing);
