#include "manager/system_environment.h"

#include "platform/file_system.h"
#include "platform/registry_editor.h"

ManagerEnvironment SystemManagerEnvironment() {
    return ManagerEnvironment{SystemRegistryEditor(), FolderOfPath(ModuleFilePath()), FileExists, AbsolutePath,
                              SameFile};
}
