#include "manager/file_association.h"

bool WriteFileAssociation(RegistryEditor& registry, const std::string& managerFolder,
                          const std::string& executablePath) {
    const RegistryRoot root = RegistryRoot::ClassesRoot;
    const bool icon = registry.SetValue(root, ".druv\\DefaultIcon", "",
                                        RegistryValue::Text(managerFolder + "\\DRUVManager.ico"));
    const bool command = registry.SetValue(root, ".druv\\shell\\Open\\command", "",
                                           RegistryValue::Text("\"" + executablePath + "\" \"%1\""));
    return icon && command;
}
