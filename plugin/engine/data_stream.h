// The store's persisted form inside the host's project: a "DRUV" header chunk
// with the settings, then one "TMPT" chunk per item with its stored dump.
// Numbers are big-endian 32-bit; texts are a length byte and that many bytes.
#pragma once

#include <cstdint>

#include "plugin/engine/byte_stream.h"

class DRUVData;

enum class StoreReadResult {
    // The header was refused or a read of it, or of an item's data, failed.
    // Fields read before the failure keep their new values; an item whose
    // data could not be read in full keeps its previous content.
    Failed,
    // Every announced chunk was processed: the caller now claims the ports
    // whose handles are nonzero.
    Complete,
    // The chunks ended early (another identifier, or the stream ran out
    // between chunks). Items read so far keep their data; no port is claimed.
    Stopped,
};

constexpr uint8_t kStoreFormatNumber = 1;
constexpr uint8_t kStoreFormatRevision = 0;

// Writes the header and one chunk per item. False at the first write that
// reports an error; what was written before stays in the stream.
bool WriteDataStore(const DRUVData& data, ByteStream& stream);

// Reads a stream that WriteDataStore wrote. Chunks fill the item of exactly
// the same name; chunks for names the store lacks are skipped. A chunk that
// announces more than kMaxDumpCapacity bytes fails the read without touching
// its item.
StoreReadResult ReadDataStore(DRUVData& data, ByteStream& stream);

// The exact number of bytes WriteDataStore writes.
uint64_t DataStoreStreamSize(const DRUVData& data);
