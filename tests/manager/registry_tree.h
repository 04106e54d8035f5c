// A registry key with everything below it, kept in memory so that a test can
// put the key back exactly as it found it. Wide API throughout: names and
// texts may be anything the registry holds.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

struct RegistryTree {
    struct Value {
        std::wstring name;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
        bool operator==(const Value& other) const {
            return name == other.name && type == other.type && data == other.data;
        }
    };
    bool exists = false;
    std::vector<Value> values;
    std::vector<std::pair<std::wstring, RegistryTree>> subkeys;

    bool operator==(const RegistryTree& other) const {
        return exists == other.exists && values == other.values && subkeys == other.subkeys;
    }
    bool operator!=(const RegistryTree& other) const { return !(*this == other); }
    // The value of that name, or null.
    const Value* Find(const std::wstring& name) const;
};

RegistryTree ReadRegistryTree(HKEY root, const std::wstring& path);
// Deletes the key with its subkeys; true when it is gone afterwards.
bool DeleteRegistryTree(HKEY root, const std::wstring& path);
// Makes the key what `tree` says: deleted when it did not exist, otherwise
// given exactly its values and subkeys, changing only what differs (the key
// itself is never missing meanwhile). False when a write failed.
bool WriteRegistryTree(HKEY root, const std::wstring& path, const RegistryTree& tree);
bool RegistryKeyExists(HKEY root, const std::wstring& path);

// One text value (REG_SZ or REG_EXPAND_SZ) without its terminator; false
// when the key or value is missing or holds something else.
bool ReadRegistryText(HKEY root, const std::wstring& path, const std::wstring& name, std::wstring& text);

// Saves a key when made and puts it back when destroyed.
class RegistryKeyKeeper {
public:
    RegistryKeyKeeper(HKEY root, std::wstring path)
        : root_(root), path_(std::move(path)), saved_(ReadRegistryTree(root_, path_)) {}
    ~RegistryKeyKeeper() { WriteRegistryTree(root_, path_, saved_); }
    RegistryKeyKeeper(const RegistryKeyKeeper&) = delete;
    RegistryKeyKeeper& operator=(const RegistryKeyKeeper&) = delete;

private:
    HKEY root_;
    std::wstring path_;
    RegistryTree saved_;
};
