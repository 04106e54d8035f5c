#include "platform/registry_editor.h"

namespace {

RegistryEditor*& InstalledRegistry() {
    static RegistryEditor* registry = nullptr;
    return registry;
}

}  // namespace

RegistryEditor& RegistryInUse() {
    RegistryEditor* registry = InstalledRegistry();
    return registry ? *registry : SystemRegistryEditor();
}

RegistryEditor* SetRegistryInUse(RegistryEditor* registry) {
    RegistryEditor* previous = InstalledRegistry();
    InstalledRegistry() = registry;
    return previous;
}
