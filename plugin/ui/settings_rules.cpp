#include "plugin/ui/settings_rules.h"

#include <algorithm>
#include <atomic>

#include "device/druv_device.h"
#include "device/druv_template.h"
#include "device/text_fields.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/dump_item.h"

namespace {

int32_t Limited(int64_t value, int32_t low, int32_t high) {
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(value, low), high));
}

}  // namespace

SpinField DeviceIdField(const DRUVDevice& device, uint8_t storedId) {
    SpinField field;
    field.shown = device.SysXChanOfs() != 0 && device.SysXChanMin() < device.SysXChanMax();
    const int32_t offset = device.SysXDisplayOfs();
    field.low = device.SysXChanMin() + offset;
    field.high = device.SysXChanMax() + offset;
    field.position = storedId + offset;
    return field;
}

SpinField ChannelField(const DRUVDevice& device, uint8_t storedChannel) {
    SpinField field;
    field.shown = device.MidiChannel() != 0;
    field.low = 1;
    field.high = kLastChannel + 1;
    field.position = storedChannel + 1;
    return field;
}

SpinField DelayField(int32_t storedDelay) {
    SpinField field;
    field.shown = true;
    field.low = 0;
    field.high = kMaxItemDelay;
    field.position = storedDelay;
    return field;
}

uint8_t DeviceIdFromText(const DRUVDevice& device, const char* text) {
    const int64_t value = static_cast<int64_t>(DecimalTextToInt(text)) - device.SysXDisplayOfs();
    // Raised to the minimum first, then lowered to the maximum: a device whose
    // minimum lies above its maximum ends at the maximum.
    int64_t limited = std::max<int64_t>(value, device.SysXChanMin());
    limited = std::min<int64_t>(limited, device.SysXChanMax());
    return static_cast<uint8_t>(limited);
}

uint8_t ChannelFromText(const char* text) {
    return static_cast<uint8_t>(Limited(static_cast<int64_t>(DecimalTextToInt(text)) - 1, 0, kLastChannel));
}

int32_t DelayFromText(const char* text) {
    return Limited(DecimalTextToInt(text), 0, kMaxItemDelay);
}

std::string DataListLine(const DRUVTemplate& dumpTemplate, const DumpItem* item) {
    std::string line = dumpTemplate.Name();
    if (item && item->HasData()) line += " *";
    return line;
}
