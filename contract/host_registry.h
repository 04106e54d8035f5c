// Where an installed device lives in the registry. The Manager (and druvhost's
// install) writes these entries; the host, the plug-in's component server and
// druvhost's listing read them. A text changed here on one side only is a
// device that one program installs and another cannot find.
#pragma once

#include <cstdint>
#include <string>

#include "contract/editor_page_class.h"
#include "platform/registry_editor.h"

// Below HKEY_CLASSES_ROOT, for the device's class and the editor page's:
// "CLSID\{X}" with the class's name as its default value, and below it
// "InprocServer32" with the plug-in's path as default value and the
// threading model.
constexpr RegistryRoot kClassesRoot = RegistryRoot::ClassesRoot;
constexpr char kClassesKeyPath[] = "CLSID";
constexpr char kInprocServerKeyName[] = "InprocServer32";
constexpr char kThreadingModelValueName[] = "ThreadingModel";
constexpr char kThreadingModel[] = "Both";

// Below HKEY_LOCAL_MACHINE, one key per device named by its class: the
// display name and the device path as texts, the host's type code as a
// number.
constexpr RegistryRoot kHostPluginsRoot = RegistryRoot::LocalMachine;
constexpr char kHostPluginsKeyPath[] = "Software\\Tavrel\\ZN3\\Plugins";
constexpr char kPluginNameValueName[] = "ZN3_KEY_PLUGIN_NAME";
constexpr RegistryType kPluginNameType = RegistryType::Text;
constexpr char kPluginTypeValueName[] = "ZN3_KEY_TYPE";
constexpr RegistryType kPluginTypeType = RegistryType::Dword;
constexpr char kDevicePathValueName[] = "DevicePath";
constexpr RegistryType kDevicePathType = RegistryType::Text;

// Below HKEY_CURRENT_USER, the Manager's own list: the count as a number and
// one binary record per instrument, named "0", "1", ...
constexpr RegistryRoot kInstrumentListRoot = RegistryRoot::CurrentUser;
constexpr char kInstrumentListKeyPath[] = "SOFTWARE\\Tavrel\\Lindqor\\DRUV";
constexpr char kInstrumentCountValueName[] = "Count";
// Below HKEY_CURRENT_USER, the window host's last projects, newest first.
constexpr char kWindowHostRecentProjectsKeyPath[] = "SOFTWARE\\Tavrel\\Lindqor\\DRUV Host\\Recent Projects";
constexpr RegistryType kInstrumentCountType = RegistryType::Dword;
constexpr RegistryType kInstrumentRecordType = RegistryType::Binary;

// Below HKEY_CLASSES_ROOT, the ".druv" association: the document icon and the
// command that opens a definition with the Manager.
constexpr char kDefinitionIconKeyPath[] = ".druv\\DefaultIcon";
constexpr char kDefinitionOpenCommandKeyPath[] = ".druv\\shell\\Open\\command";

// `classText` is a class in its braced upper-case form.
inline std::string ClassKeyPath(const std::string& classText) {
    return std::string(kClassesKeyPath) + "\\" + classText;
}
inline std::string ClassServerKeyPath(const std::string& classText) {
    return ClassKeyPath(classText) + "\\" + kInprocServerKeyName;
}
inline std::string HostPluginKeyPath(const std::string& classText) {
    return std::string(kHostPluginsKeyPath) + "\\" + classText;
}

// The host's type code for a definition's DeviceType: 0 Mixer, 1 Synth,
// 2 Effect; anything else is taken as a synth.
constexpr uint32_t HostTypeCode(int deviceType) {
    switch (deviceType) {
        case 0: return 0x1802;
        case 2: return 0x4802;
        default: return 0x2802;
    }
}
