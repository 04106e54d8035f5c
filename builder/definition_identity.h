// The rules by which a definition keeps or changes its identifiers and path.
#pragma once

#include <string>

#include "device/druv_device.h"
#include "platform/com_base.h"
#include "platform/guid.h"

// A definition's place and identity, kept so that a failed save can put
// them back.
struct DefinitionIdentity {
    std::string path;
    GUID deviceGuid{};
    GUID editorGuid{};
};

DefinitionIdentity IdentityOf(const DRUVDevice& device);
void RestoreIdentity(DRUVDevice& device, const DefinitionIdentity& identity);

// Null GUIDs, so that nothing read afterwards can inherit them.
void ClearIdentifiers(DRUVDevice& device);

// Gives each null GUID a fresh one made by `createGuid`: a definition read
// from a file without identifiers must not be saved with none, nor with
// another device's. A GUID that cannot be made is warned about in a box
// owned by the device's window.
using GuidMaker = bool (*)(GUID& guid);
void FillMissingIdentifiers(DRUVDevice& device, GuidMaker createGuid = CreateGuid);

// Whether two paths name the same definition file; letter case does not
// count (ASCII letters).
bool SameDefinitionPath(const std::string& a, const std::string& b);

// Whether a path fits the 255 characters (UTF-16 units) a definition's path
// may have.
bool PathFitsDefinition(const std::string& path);
