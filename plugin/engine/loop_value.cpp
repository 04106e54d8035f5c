#include "plugin/engine/loop_value.h"

#include "device/druv_template.h"

bool LoopValueBytes(int32_t format, int32_t value, uint8_t* first, uint8_t* second) {
    uint32_t v = static_cast<uint32_t>(value);
    uint8_t low, high;
    switch (format) {
    case kLoop14BitLowHigh:
    case kLoop14BitHighLow:
        low = v & 0x7F;
        high = (v >> 7) & 0x7F;
        break;
    case kLoopNybbleLowHigh:
    case kLoopNybbleHighLow:
        low = v & 0x0F;
        high = (v >> 4) & 0x0F;
        break;
    default:
        return false;
    }
    bool lowFirst = format == kLoop14BitLowHigh || format == kLoopNybbleLowHigh;
    *first = lowFirst ? low : high;
    *second = lowFirst ? high : low;
    return true;
}

void ReplaceLoopPlaceholders(int32_t format, int32_t value, uint8_t* bytes, uint32_t count) {
    uint8_t first, second;
    if (!LoopValueBytes(format, value, &first, &second)) return;
    for (uint32_t i = 0; i < count; ++i) {
        if (bytes[i] == kLoopValueFirstPlaceholder) bytes[i] = first;
        else if (bytes[i] == kLoopValueSecondPlaceholder) bytes[i] = second;
    }
}
