#include "platform/memory_registry.h"
#include "platform/registry_editor.h"

// Without a system registry the process's registry in memory stands in for
// it, for every program and library of the process alike.
RegistryEditor& SystemRegistryEditor() { return ProcessMemoryRegistry(); }
