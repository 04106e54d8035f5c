#include "builder/definition_identity.h"

#include "device/text_fields.h"
#include "platform/guid.h"
#include "platform/message_box.h"
#include "platform/utf16_text.h"

DefinitionIdentity IdentityOf(const DRUVDevice& device) {
    return {device.FilePath(), device.DeviceGUID(), device.EditorGUID()};
}

void RestoreIdentity(DRUVDevice& device, const DefinitionIdentity& identity) {
    device.SetFilePath(identity.path.c_str());
    device.SetDeviceGUID(identity.deviceGuid);
    device.SetEditorGUID(identity.editorGuid);
}

void ClearIdentifiers(DRUVDevice& device) {
    device.SetDeviceGUID(GUID{});
    device.SetEditorGUID(GUID{});
}

void FillMissingIdentifiers(DRUVDevice& device, GuidMaker createGuid) {
    GUID guid{};
    if (IsNullGuid(device.DeviceGUID())) {
        if (createGuid(guid))
            device.SetDeviceGUID(guid);
        else
            ShowMessageBox("Error creating GUID!", kDefinitionMessageCaption, MessageIcon::Warning,
                           MessageButtons::Ok, device.MessageOwner());
    }
    if (IsNullGuid(device.EditorGUID())) {
        if (createGuid(guid))
            device.SetEditorGUID(guid);
        else
            ShowMessageBox("Error creating Editor GUID!", kDefinitionMessageCaption, MessageIcon::Warning,
                           MessageButtons::Ok, device.MessageOwner());
    }
}

bool SameDefinitionPath(const std::string& a, const std::string& b) { return EqualsIgnoringCase(a.c_str(), b.c_str()); }

bool PathFitsDefinition(const std::string& path) { return Utf16Length(path.data(), path.size()) <= kMaxTextLength; }
