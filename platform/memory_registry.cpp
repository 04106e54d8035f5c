#include "platform/memory_registry.h"

#include <cctype>

#include "platform/utf16_text.h"

namespace {

std::string Folded(const std::string& text) {
    std::string folded = text;
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

}  // namespace

void MemoryRegistry::AddKey(const std::string& keyPath) {
    std::lock_guard<std::mutex> lock(mutex_);
    keys_[Folded(keyPath)];
}

void MemoryRegistry::SetValue(const std::string& keyPath, const std::string& valueName, const std::string& bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    keys_[Folded(keyPath)][Folded(valueName)] = bytes;
}

void MemoryRegistry::SetText(const std::string& keyPath, const std::string& valueName, const std::string& text) {
    SetValue(keyPath, valueName, text + std::string(1, '\0'));
}

void MemoryRegistry::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    keys_.clear();
}

RegistryRead MemoryRegistry::ReadMachineText(const char* keyPath, const char* valueName, size_t maxLength,
                                             std::string& text) {
    reads_.fetch_add(1, std::memory_order_acq_rel);
    std::lock_guard<std::mutex> lock(mutex_);
    const auto key = keys_.find(Folded(keyPath ? keyPath : ""));
    if (key == keys_.end()) return RegistryRead::NoKey;
    const auto value = key->second.find(Folded(valueName ? valueName : ""));
    if (value == key->second.end()) return RegistryRead::NoValue;
    const std::string& bytes = value->second;
    const std::string stored = bytes.substr(0, bytes.find('\0'));
    // Counted in characters as the system's registry counts them.
    if (Utf16Length(stored.data(), stored.size()) > maxLength) return RegistryRead::TooLong;
    text = stored;
    return RegistryRead::Ok;
}
