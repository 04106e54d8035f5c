// A registry held in memory: keys and values that a test (or a platform
// without a registry) sets up, with the rules of the system's: three roots,
// keys form a tree (creating A\B\C creates A and A\B), key paths and value
// names ignore ASCII case, and texts (UTF-8 here) are as long as their UTF-16
// form. Subkeys enumerate in case-insensitive name order, as the system's
// tend to. Counts the reads it answers, so a test can tell whether a caller
// looked at the registry at all, and logs every write that succeeded, so a
// test can check what was written and in which order.
//
// Values are kept as the system keeps them: a text ends at its first zero
// byte, and a number that is not four bytes is refused.
//
// A key path is backslash-separated; the empty path is the root itself. A
// path with an empty part (a leading, doubled or trailing backslash) names no
// key: writes to it are refused and reads find nothing.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry_editor.h"

enum class RegistryWriteKind { CreateKey, SetValue, DeleteKey };

// One write as the editor was asked it. CreateKey and DeleteKey leave the
// value name empty and the value default.
struct RegistryWrite {
    RegistryWriteKind kind = RegistryWriteKind::CreateKey;
    RegistryRoot root = RegistryRoot::LocalMachine;
    std::string keyPath;
    std::string valueName;
    RegistryValue value;
};

bool operator==(const RegistryWrite& a, const RegistryWrite& b);

class MemoryRegistry : public RegistryEditor {
public:
    // Set-up for tests of readers, all below HKEY_LOCAL_MACHINE and none of
    // them in the write log.
    //
    // Creates the key and every key above it.
    void AddKey(const std::string& keyPath);
    // Creates the key if needed and sets the value to Text with exactly these
    // bytes (no terminator is added; put one in `bytes` to store it).
    void SetValue(const std::string& keyPath, const std::string& valueName, const std::string& bytes);
    // The same with a zero terminator after the text, like a string value.
    void SetText(const std::string& keyPath, const std::string& valueName, const std::string& text);
    // Removes every key and value under all three roots and empties the log.
    void Clear();

    bool CreateKey(RegistryRoot root, const std::string& keyPath) override;
    bool SetValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                  const RegistryValue& value) override;
    RegistryRead ReadValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                           RegistryValue& value) override;
    RegistryRead ReadText(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                          size_t maxLength, std::string& text) override;
    bool KeyExists(RegistryRoot root, const std::string& keyPath) override;
    bool SubkeyName(RegistryRoot root, const std::string& keyPath, size_t index, std::string& name) override;
    bool DeleteKey(RegistryRoot root, const std::string& keyPath) override;

    int Reads() const { return reads_.load(std::memory_order_acquire); }
    // The successful CreateKey, SetValue and DeleteKey calls, oldest first.
    std::vector<RegistryWrite> WriteLog() const;
    void ClearWriteLog();

private:
    struct Key {
        std::string name;  // as first created
        std::map<std::string, std::pair<std::string, RegistryValue>> values;  // folded name -> (name, value)
        std::map<std::string, Key> subkeys;                                   // folded name -> key
    };

    Key& Root(RegistryRoot root);
    Key* Find(RegistryRoot root, const std::string& keyPath);
    Key* FindOrCreate(RegistryRoot root, const std::string& keyPath);
    void Log(RegistryWriteKind kind, RegistryRoot root, const std::string& keyPath,
             const std::string& valueName = std::string(), const RegistryValue& value = RegistryValue());

    mutable std::mutex mutex_;  // the host may create objects on any thread
    std::array<Key, 3> roots_;
    std::vector<RegistryWrite> log_;
    std::atomic<int> reads_{0};
};

// The one registry in memory that stands in for the system's on platforms
// without one: SystemRegistryEditor() is this one there.
MemoryRegistry& ProcessMemoryRegistry();
