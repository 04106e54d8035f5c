#include "platform/registry_editor.h"

bool IsWellFormedKeyPath(const std::string& keyPath) {
    if (keyPath.empty()) return true;
    if (keyPath.front() == '\\' || keyPath.back() == '\\') return false;
    return keyPath.find("\\\\") == std::string::npos;
}
