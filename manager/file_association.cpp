#include "manager/file_association.h"

#include "contract/host_registry.h"
#include "contract/program_files.h"

bool WriteFileAssociation(RegistryEditor& registry, const std::string& managerFolder,
                          const std::string& executablePath) {
    const RegistryRoot root = RegistryRoot::ClassesRoot;
    const bool icon = registry.SetValue(root, kDefinitionIconKeyPath, "",
                                        RegistryValue::Text(managerFolder + "\\" + kDocumentIconFileName));
    const bool command = registry.SetValue(root, kDefinitionOpenCommandKeyPath, "",
                                           RegistryValue::Text("\"" + executablePath + "\" \"%1\""));
    return icon && command;
}
