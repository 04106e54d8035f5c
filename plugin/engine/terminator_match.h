// Whether an incoming message is the template's Terminator: the message that
// ends a receive loop, with or without being stored.
#pragma once

#include <cstdint>

class DRUVTemplate;
struct TransferState;

// True, and the state's terminator-seen flag set, when the message begins
// with the template's Terminator pattern and the template's StoreTerminator
// equals `store`. `bytes` is a SysX message after its F0 (`sysx` true; the
// pattern's first byte, F0, then has no counterpart) or a channel message as
// three bytes. Pattern bytes F8 to FF match classes of bytes (see the .cpp).
bool MatchTerminator(TransferState& state, const DRUVTemplate& dumpTemplate, bool store, const uint8_t* bytes,
                     uint32_t count, bool sysx);
