#include "manager/host_registry_layout.h"

#include "device/guid_text.h"

std::string ClassIdText(const GUID& classId) {
    char text[kGuidTextBufferSize] = "";
    GuidToText(classId, text);
    return text;
}

std::string ClassKeyPath(const GUID& classId) { return "CLSID\\" + ClassIdText(classId); }

std::string ClassServerKeyPath(const GUID& classId) { return ClassKeyPath(classId) + "\\InprocServer32"; }

std::string HostPluginKeyPath(const GUID& deviceId) {
    return std::string(kHostPluginsKeyPath) + "\\" + ClassIdText(deviceId);
}

uint32_t HostTypeCode(int deviceType) {
    switch (deviceType) {
        case 0: return 0x1802;
        case 1: return 0x2802;
        case 2: return 0x4802;
        default: return 0x2802;
    }
}
