#include "tests/manager/registry_tree.h"

namespace {

RegistryTree ReadOpenKey(HKEY key) {
    RegistryTree tree;
    tree.exists = true;
    DWORD subkeyCount = 0, longestSubkey = 0, valueCount = 0, longestName = 0, longestData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeyCount, &longestSubkey, nullptr, &valueCount,
                         &longestName, &longestData, nullptr, nullptr) != ERROR_SUCCESS)
        return tree;
    for (DWORD i = 0; i < valueCount; ++i) {
        std::vector<wchar_t> name(longestName + 2);
        DWORD nameLength = static_cast<DWORD>(name.size());
        RegistryTree::Value value;
        value.data.resize(longestData + 2);
        DWORD dataSize = static_cast<DWORD>(value.data.size());
        if (RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &value.type, value.data.data(), &dataSize) !=
            ERROR_SUCCESS)
            continue;
        value.name.assign(name.data(), nameLength);
        value.data.resize(dataSize);
        tree.values.push_back(std::move(value));
    }
    for (DWORD i = 0; i < subkeyCount; ++i) {
        std::vector<wchar_t> name(longestSubkey + 2);
        DWORD nameLength = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(key, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            continue;
        const std::wstring subkeyName(name.data(), nameLength);
        HKEY subkey = nullptr;
        if (RegOpenKeyExW(key, subkeyName.c_str(), 0, KEY_READ, &subkey) != ERROR_SUCCESS) continue;
        tree.subkeys.emplace_back(subkeyName, ReadOpenKey(subkey));
        RegCloseKey(subkey);
    }
    return tree;
}

// Makes an open key hold exactly what `tree` holds, changing only what
// differs: a key that other programs read is never missing meanwhile.
bool SyncOpenKey(HKEY key, const RegistryTree& tree) {
    const RegistryTree now = ReadOpenKey(key);
    bool written = true;
    for (const RegistryTree::Value& value : now.values)
        if (!tree.Find(value.name)) written = RegDeleteValueW(key, value.name.c_str()) == ERROR_SUCCESS && written;
    for (const auto& [name, subtree] : now.subkeys) {
        bool kept = false;
        for (const auto& entry : tree.subkeys) kept = kept || _wcsicmp(entry.first.c_str(), name.c_str()) == 0;
        if (!kept) written = DeleteRegistryTree(key, name) && written;
    }
    for (const RegistryTree::Value& value : tree.values) {
        const RegistryTree::Value* current = now.Find(value.name);
        if (current && *current == value) continue;
        written = RegSetValueExW(key, value.name.c_str(), 0, value.type, value.data.data(),
                                 static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS &&
                  written;
    }
    for (const auto& [name, subtree] : tree.subkeys) {
        HKEY subkey = nullptr;
        if (RegCreateKeyExW(key, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &subkey, nullptr) !=
            ERROR_SUCCESS) {
            written = false;
            continue;
        }
        written = SyncOpenKey(subkey, subtree) && written;
        RegCloseKey(subkey);
    }
    return written;
}

}  // namespace

const RegistryTree::Value* RegistryTree::Find(const std::wstring& name) const {
    for (const Value& value : values)
        if (_wcsicmp(value.name.c_str(), name.c_str()) == 0) return &value;
    return nullptr;
}

RegistryTree ReadRegistryTree(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return RegistryTree{};
    RegistryTree tree = ReadOpenKey(key);
    RegCloseKey(key);
    return tree;
}

bool RegistryKeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool DeleteRegistryTree(HKEY root, const std::wstring& path) {
    RegDeleteTreeW(root, path.c_str());
    RegDeleteKeyW(root, path.c_str());
    return !RegistryKeyExists(root, path);
}

bool WriteRegistryTree(HKEY root, const std::wstring& path, const RegistryTree& tree) {
    if (!tree.exists) return DeleteRegistryTree(root, path);
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const bool written = SyncOpenKey(key, tree);
    RegCloseKey(key);
    return written;
}

bool ReadRegistryText(HKEY root, const std::wstring& path, const std::wstring& name, std::wstring& text) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0, size = 0;
    bool read = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
                (type == REG_SZ || type == REG_EXPAND_SZ);
    if (read) {
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
        read = RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) ==
               ERROR_SUCCESS;
        // The stored data may or may not include its terminator; the text ends at the first zero.
        if (read) text.assign(buffer.data());
    }
    RegCloseKey(key);
    return read;
}
