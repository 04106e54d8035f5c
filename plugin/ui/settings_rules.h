// The rules behind the editor page's settings controls, apart from the
// controls themselves: what the ID, channel and delay fields show and accept,
// and the lines of the supported-data list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class DRUVDevice;
class DRUVTemplate;
class DumpItem;

constexpr int32_t kMaxItemDelay = 100;  // milliseconds
constexpr uint8_t kLastChannel = 15;

// An up-down field: whether it is shown at all, its range and position.
struct SpinField {
    bool shown = false;
    int32_t low = 0;
    int32_t high = 0;
    int32_t position = 0;
};

// Shown when the device's messages carry an ID (SysXChanOfs nonzero) over a
// real range; in display units (stored value + SysXDisplayOfs).
SpinField DeviceIdField(const DRUVDevice& device, uint8_t storedId);
// Shown when the device listens on a MIDI channel; 1 to 16.
SpinField ChannelField(const DRUVDevice& device, uint8_t storedChannel);
SpinField DelayField(int32_t storedDelay);

// The edits' change rules: decimal text (no digits reads as 0) to the value
// stored, limited to its range.
uint8_t DeviceIdFromText(const DRUVDevice& device, const char* text);
uint8_t ChannelFromText(const char* text);
int32_t DelayFromText(const char* text);

// The supported-data list line of one template: its name, and " *" when its
// item holds data.
std::string DataListLine(const DRUVTemplate& dumpTemplate, const DumpItem* item);
