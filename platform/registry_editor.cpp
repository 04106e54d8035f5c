#include "platform/registry_editor.h"

#ifndef _WIN32
#include "platform/memory_registry.h"

// Without a system registry the editor writes where the machine reader reads.
RegistryEditor& SystemRegistryEditor() { return ProcessMemoryRegistry(); }
#endif
