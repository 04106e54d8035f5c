#include "platform/memory_registry.h"

#include <iterator>

#include "platform/utf16_text.h"

namespace {

std::string Folded(const std::string& text) {
    std::string folded = text;
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

// The parts of a key path; false when it is not well formed. The empty path
// has no parts: it is the root.
bool SplitKeyPath(const std::string& keyPath, std::vector<std::string>& parts) {
    parts.clear();
    if (!IsWellFormedKeyPath(keyPath)) return false;
    if (keyPath.empty()) return true;
    size_t start = 0;
    for (;;) {
        const size_t end = keyPath.find('\\', start);
        parts.push_back(keyPath.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

RegistryValue TextBytes(const std::string& bytes) {
    RegistryValue value;
    value.type = RegistryType::Text;
    value.data.assign(bytes.begin(), bytes.end());
    return value;
}

}  // namespace

bool operator==(const RegistryWrite& a, const RegistryWrite& b) {
    return a.kind == b.kind && a.root == b.root && a.keyPath == b.keyPath && a.valueName == b.valueName &&
           a.value == b.value;
}

MemoryRegistry::Key& MemoryRegistry::Root(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::ClassesRoot: return roots_[0];
    case RegistryRoot::LocalMachine: return roots_[1];
    case RegistryRoot::CurrentUser: break;
    }
    return roots_[2];
}

MemoryRegistry::Key* MemoryRegistry::Find(RegistryRoot root, const std::string& keyPath) {
    std::vector<std::string> parts;
    if (!SplitKeyPath(keyPath, parts)) return nullptr;
    Key* key = &Root(root);
    for (const std::string& part : parts) {
        const auto sub = key->subkeys.find(Folded(part));
        if (sub == key->subkeys.end()) return nullptr;
        key = &sub->second;
    }
    return key;
}

MemoryRegistry::Key* MemoryRegistry::FindOrCreate(RegistryRoot root, const std::string& keyPath) {
    std::vector<std::string> parts;
    if (!SplitKeyPath(keyPath, parts)) return nullptr;
    Key* key = &Root(root);
    for (const std::string& part : parts) {
        Key& sub = key->subkeys[Folded(part)];
        if (sub.name.empty()) sub.name = part;
        key = &sub;
    }
    return key;
}

void MemoryRegistry::Log(RegistryWriteKind kind, RegistryRoot root, const std::string& keyPath,
                         const std::string& valueName, const RegistryValue& value) {
    log_.push_back(RegistryWrite{kind, root, keyPath, valueName, value});
}

void MemoryRegistry::AddKey(const std::string& keyPath) {
    std::lock_guard<std::mutex> lock(mutex_);
    FindOrCreate(RegistryRoot::LocalMachine, keyPath);
}

void MemoryRegistry::SetValue(const std::string& keyPath, const std::string& valueName, const std::string& bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (Key* key = FindOrCreate(RegistryRoot::LocalMachine, keyPath))
        key->values[Folded(valueName)] = {valueName, TextBytes(bytes)};
}

void MemoryRegistry::SetText(const std::string& keyPath, const std::string& valueName, const std::string& text) {
    SetValue(keyPath, valueName, text + std::string(1, '\0'));
}

void MemoryRegistry::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (Key& root : roots_) root = Key();
    log_.clear();
}

RegistryRead MemoryRegistry::ReadText(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                                      size_t maxLength, std::string& text) {
    RegistryValue value;
    const RegistryRead read = ReadValue(root, keyPath, valueName, value);
    if (read != RegistryRead::Ok) return read;
    const std::vector<uint8_t>& bytes = value.data;
    size_t length = 0;
    while (length < bytes.size() && bytes[length] != 0) ++length;
    const std::string stored(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
    // Counted in characters as the system's registry counts them.
    if (Utf16Length(stored.data(), stored.size()) > maxLength) return RegistryRead::TooLong;
    text = stored;
    return RegistryRead::Ok;
}

bool MemoryRegistry::CreateKey(RegistryRoot root, const std::string& keyPath) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!FindOrCreate(root, keyPath)) return false;
    Log(RegistryWriteKind::CreateKey, root, keyPath);
    return true;
}

bool MemoryRegistry::SetValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                              const RegistryValue& value) {
    // Stored as the system would store it: a number is four bytes, and a text
    // ends at its first zero byte.
    RegistryValue stored;
    switch (value.type) {
    case RegistryType::Text: stored = RegistryValue::Text(value.AsText()); break;
    case RegistryType::Dword:
        if (value.data.size() != 4) return false;
        stored = value;
        break;
    case RegistryType::Binary: stored = value; break;
    default: return false;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    Key* key = FindOrCreate(root, keyPath);
    if (!key) return false;
    key->values[Folded(valueName)] = {valueName, stored};
    Log(RegistryWriteKind::SetValue, root, keyPath, valueName, stored);
    return true;
}

RegistryRead MemoryRegistry::ReadValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                                       RegistryValue& value) {
    reads_.fetch_add(1, std::memory_order_acq_rel);
    std::lock_guard<std::mutex> lock(mutex_);
    const Key* key = Find(root, keyPath);
    if (!key) return RegistryRead::NoKey;
    const auto found = key->values.find(Folded(valueName));
    if (found == key->values.end()) return RegistryRead::NoValue;
    value = found->second.second;
    return RegistryRead::Ok;
}

bool MemoryRegistry::KeyExists(RegistryRoot root, const std::string& keyPath) {
    std::lock_guard<std::mutex> lock(mutex_);
    return Find(root, keyPath) != nullptr;
}

bool MemoryRegistry::SubkeyName(RegistryRoot root, const std::string& keyPath, size_t index, std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    const Key* key = Find(root, keyPath);
    if (!key || index >= key->subkeys.size()) return false;
    auto sub = key->subkeys.begin();
    std::advance(sub, static_cast<std::ptrdiff_t>(index));
    name = sub->second.name;
    return true;
}

bool MemoryRegistry::DeleteKey(RegistryRoot root, const std::string& keyPath) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> parts;
    // The roots themselves cannot be deleted.
    if (!SplitKeyPath(keyPath, parts) || parts.empty()) return false;
    Key* parent = &Root(root);
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        const auto sub = parent->subkeys.find(Folded(parts[i]));
        if (sub == parent->subkeys.end()) return false;
        parent = &sub->second;
    }
    const auto target = parent->subkeys.find(Folded(parts.back()));
    if (target == parent->subkeys.end() || !target->second.subkeys.empty()) return false;
    parent->subkeys.erase(target);
    Log(RegistryWriteKind::DeleteKey, root, keyPath);
    return true;
}

std::vector<RegistryWrite> MemoryRegistry::WriteLog() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
}

void MemoryRegistry::ClearWriteLog() {
    std::lock_guard<std::mutex> lock(mutex_);
    log_.clear();
}

MemoryRegistry& ProcessMemoryRegistry() {
    static MemoryRegistry registry;
    return registry;
}
