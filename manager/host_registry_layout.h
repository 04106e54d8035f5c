// Where an installed device lives in the registry: the component classes
// under HKEY_CLASSES_ROOT, the host's plug-in entry under HKEY_LOCAL_MACHINE
// and the manager's own list under HKEY_CURRENT_USER. The host and the
// plug-in's component server read the same keys, so these texts must not
// change.
#pragma once

#include <cstdint>
#include <string>

#include "platform/com_base.h"
#include "plugin/abi/editor_page_class.h"

constexpr char kEditorPageClassName[] = "DRUV Editor";

constexpr char kPluginFileName[] = "DRUV.dll";
constexpr char kThreadingModelValueName[] = "ThreadingModel";
constexpr char kThreadingModel[] = "Both";

constexpr char kHostPluginsKeyPath[] = "Software\\Tavrel\\ZN3\\Plugins";
constexpr char kPluginNameValueName[] = "ZN3_KEY_PLUGIN_NAME";
constexpr char kPluginTypeValueName[] = "ZN3_KEY_TYPE";
constexpr char kDevicePathValueName[] = "DevicePath";

constexpr char kInstrumentListKeyPath[] = "SOFTWARE\\Tavrel\\Lindqor\\DRUV";
constexpr char kInstrumentCountValueName[] = "Count";

// The braced upper-case form, e.g. "{5464D9CE-17FD-4E28-A451-79A27E39BBC4}".
std::string ClassIdText(const GUID& classId);
// "CLSID\{X}" below HKEY_CLASSES_ROOT.
std::string ClassKeyPath(const GUID& classId);
// "CLSID\{X}\InprocServer32" below HKEY_CLASSES_ROOT.
std::string ClassServerKeyPath(const GUID& classId);
// The host's entry of one device below HKEY_LOCAL_MACHINE.
std::string HostPluginKeyPath(const GUID& deviceId);

// The host's type code for a definition's DeviceType: 0 Mixer, 1 Synth,
// 2 Effect; anything else is taken as a synth.
uint32_t HostTypeCode(int deviceType);
