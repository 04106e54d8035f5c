#include "tests/manager/window/registry_snapshot.h"

RegistrySnapshot TakeSnapshot(HKEY root, const std::wstring& path) {
    RegistrySnapshot snapshot;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return snapshot;
    snapshot.exists = true;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLength = 16384;
        DWORD type = 0;
        DWORD size = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::vector<BYTE> data(size);
        nameLength = 16384;
        RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data.empty() ? nullptr : data.data(), &size);
        data.resize(size);
        snapshot.values[name] = {type, data};
    }
    std::vector<std::wstring> names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.push_back(name);
    }
    RegCloseKey(key);
    for (const std::wstring& name : names) snapshot.subkeys[name] = TakeSnapshot(root, path + L"\\" + name);
    return snapshot;
}

void DeleteRegistryTree(HKEY root, const std::wstring& path) {
    RegDeleteTreeW(root, path.c_str());
    RegDeleteKeyW(root, path.c_str());
}

namespace {

void Write(HKEY root, const std::wstring& path, const RegistrySnapshot& snapshot) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) return;
    for (const auto& [name, value] : snapshot.values)
        RegSetValueExW(key, name.c_str(), 0, value.first, value.second.data(), static_cast<DWORD>(value.second.size()));
    RegCloseKey(key);
    for (const auto& [name, subkey] : snapshot.subkeys) Write(root, path + L"\\" + name, subkey);
}

}  // namespace

void RestoreSnapshot(HKEY root, const std::wstring& path, const RegistrySnapshot& snapshot) {
    DeleteRegistryTree(root, path);
    if (snapshot.exists) Write(root, path, snapshot);
}
