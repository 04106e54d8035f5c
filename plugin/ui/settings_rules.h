// The rules behind the editor page's settings controls, apart from the
// controls themselves: what the ID, channel and delay fields show and accept,
// where the stored port sits in a port list, and a change of port with its
// release and claim at the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/com_base.h"
#include "plugin/abi/host_interfaces.h"
#include "plugin/abi/mp_event.h"

class DRUVData;
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

// The list position of the entry whose handle is `handle`; the position of
// "[none]" (the entry count) when no entry has it or the handle is 0.
size_t PortListPosition(const MPPortList& ports, uint32_t handle);

// The port list name as 8-bit text of at most 255 bytes; code units outside
// ASCII become '?'. The page uses the system's conversion instead where
// there is one.
std::string PortNameAsText(const WCHAR* name);

// A new selection in the port list of `direction`: releases the stored port,
// stores the port at `position` ("[none]" or any position outside the list:
// no port, zero identity) and claims it. The broker may be null. True when
// the choice differs from the stored one, so the filter must be marked dirty.
bool ChangePort(DRUVData& data, MPPortDirection direction, size_t position, IMPPortBroker* broker,
                REFCLSID ownerClass, IUnknown* owner);

// The supported-data list line of one template: its name, and " *" when its
// item holds data.
std::string DataListLine(const DRUVTemplate& dumpTemplate, const DumpItem* item);
