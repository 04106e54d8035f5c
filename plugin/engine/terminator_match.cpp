#include "plugin/engine/terminator_match.h"

#include <atomic>

#include "device/druv_template.h"
#include "plugin/engine/transfer_state.h"

namespace {

// Pattern bytes below F8 match themselves; F8 to FF stand for a class.
bool PatternMatches(uint8_t pattern, uint8_t value) {
    switch (pattern) {
    case 0xF8: return value >= 0x80 && value <= 0x9F;  // note off and note on
    case 0xF9: return value >= 0xA0 && value <= 0xAF;
    case 0xFA: return value >= 0xB0 && value <= 0xBF;
    case 0xFB: return value >= 0xC0 && value <= 0xCF;
    case 0xFC: return value >= 0xD0 && value <= 0xDF;
    case 0xFD: return value >= 0xE0 && value <= 0xEF;
    case 0xFE: return value >= 0x80 && value <= 0xEF;  // any channel status
    case 0xFF: return true;
    default: return pattern == value;
    }
}

}  // namespace

bool MatchTerminator(TransferState& state, const DRUVTemplate& dumpTemplate, bool store, const uint8_t* bytes,
                     uint32_t count, bool sysx) {
    const ByteString& pattern = dumpTemplate.Terminator();
    uint64_t patternLength = pattern.size();
    if (patternLength == 0 || dumpTemplate.StoreTerminator() != (store ? 1 : 0)) return false;
    uint64_t skip = sysx ? 1 : 0;
    if (patternLength > skip + count || patternLength <= skip || !bytes) return false;
    for (uint64_t i = 0; i + skip < patternLength; ++i)
        if (!PatternMatches(pattern[skip + i], bytes[i])) return false;
    state.terminator_seen.store(true, std::memory_order_release);
    return true;
}
