#include "manager/host_registry_layout.h"

#include "device/guid_text.h"

std::string ClassIdText(const GUID& classId) {
    char text[kGuidTextBufferSize] = "";
    GuidToText(classId, text);
    return text;
}

std::string ClassKeyPath(const GUID& classId) { return ClassKeyPath(ClassIdText(classId)); }

std::string ClassServerKeyPath(const GUID& classId) { return ClassServerKeyPath(ClassIdText(classId)); }

std::string HostPluginKeyPath(const GUID& deviceId) { return HostPluginKeyPath(ClassIdText(deviceId)); }
