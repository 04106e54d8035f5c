// Registry keys of the test prefix captured whole (values with their types
// and bytes, and every subkey), to compare them before and after, and to put
// back what the tests changed.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

struct RegistrySnapshot {
    bool exists = false;
    std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>> values;
    std::map<std::wstring, RegistrySnapshot> subkeys;

    bool operator==(const RegistrySnapshot& other) const {
        return exists == other.exists && values == other.values && subkeys == other.subkeys;
    }
};

RegistrySnapshot TakeSnapshot(HKEY root, const std::wstring& path);
// Deletes the key with everything below it.
void DeleteRegistryTree(HKEY root, const std::wstring& path);
// Makes the key exactly what the snapshot holds (gone, when it did not exist).
void RestoreSnapshot(HKEY root, const std::wstring& path, const RegistrySnapshot& snapshot);
