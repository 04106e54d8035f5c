// Reading, writing and deleting registry keys and values under the three
// roots that installing a device touches: the Manager's core and druvhost
// write through it, the plug-in's component server and druvhost's listing
// read through it. On Windows the system registry answers through the wide
// API (platform/win32/registry_editor.cpp); the in-memory registry
// (platform/memory_registry.h) answers the same calls in tests and on other
// systems. The caller is handed an editor by reference, so a test can put a
// fault-injecting one in between.
//
// Key paths are backslash-separated and, like value names, UTF-8; an empty
// value name means the key's default value. Every call reports whether it
// did what it was asked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class RegistryRoot { ClassesRoot, LocalMachine, CurrentUser };

enum class RegistryRead {
    Ok,
    NoKey,    // the key cannot be opened for reading
    NoValue,  // the key has no such value, or it cannot be read
    TooLong,  // the value holds more than the caller's limit
};

// The value types this system stores, with the codes the system registry
// gives them.
enum class RegistryType : uint32_t { Text = 1, Binary = 3, Dword = 4 };

struct RegistryValue {
    RegistryType type = RegistryType::Binary;
    // Text: the UTF-8 text followed by one zero byte (the system registry
    // holds it as UTF-16 with a zero unit; the editor converts both ways).
    // Dword: four bytes, least significant first. Binary: the bytes as given.
    std::vector<uint8_t> data;

    static RegistryValue Text(const std::string& text);
    static RegistryValue Dword(uint32_t number);
    static RegistryValue Binary(const std::vector<uint8_t>& bytes);

    // The text up to its first zero byte; empty for other types.
    std::string AsText() const;
    // True and the number for a four-byte Dword; false otherwise.
    bool AsDword(uint32_t& number) const;
};

bool operator==(const RegistryValue& a, const RegistryValue& b);

class RegistryEditor {
public:
    virtual ~RegistryEditor() = default;

    // Opens the key, creating it and every missing key above it.
    [[nodiscard]] virtual bool CreateKey(RegistryRoot root, const std::string& keyPath) = 0;
    // Opens the key (created along its path when missing), sets one value
    // and closes the key.
    [[nodiscard]] virtual bool SetValue(RegistryRoot root, const std::string& keyPath,
                                        const std::string& valueName, const RegistryValue& value) = 0;
    // Reads one value whole. NoKey when the key cannot be opened, NoValue
    // when it has no such value or the value cannot be read; `value` is set
    // only on Ok.
    virtual RegistryRead ReadValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                                   RegistryValue& value) = 0;
    // Reads one value as text of at most `maxLength` characters, counted as
    // Windows counts them: in UTF-16 units. The value's type is not looked
    // at: its data is taken as text up to the first zero and handed back as
    // UTF-8, so `text` may hold up to three bytes per character. TooLong when
    // the value holds more; `text` is set only on Ok. What the component
    // server reads the device path with, into a buffer of that size.
    virtual RegistryRead ReadText(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                                  size_t maxLength, std::string& text) = 0;
    virtual bool KeyExists(RegistryRoot root, const std::string& keyPath) = 0;
    // The name of the subkey at `index` (0 first); false when the key cannot
    // be opened or has no subkey at that index.
    virtual bool SubkeyName(RegistryRoot root, const std::string& keyPath, size_t index, std::string& name) = 0;
    // Deletes the key itself. Refused, as the system refuses it, when the key
    // has subkeys or does not exist.
    [[nodiscard]] virtual bool DeleteKey(RegistryRoot root, const std::string& keyPath) = 0;
};

// True when every backslash-separated part of `keyPath` is non-empty; the
// empty path, the root itself, is well formed. The editors refuse to write to
// other paths and find no key at them, the same on every system.
bool IsWellFormedKeyPath(const std::string& keyPath);

// The system registry on Windows; elsewhere the process's registry in memory
// (ProcessMemoryRegistry()).
RegistryEditor& SystemRegistryEditor();

// The registry in force where no caller can hand one over (the component
// server's exports take none): the system's unless a test installed another.
RegistryEditor& RegistryInUse();

// Installs `registry` (null restores the system's) and returns the one that
// was in force. Not meant to be called while another thread reads.
RegistryEditor* SetRegistryInUse(RegistryEditor* registry);

// Installs a registry for the lifetime of the guard.
class ScopedRegistryInUse {
public:
    explicit ScopedRegistryInUse(RegistryEditor& registry) : previous_(SetRegistryInUse(&registry)) {}
    ~ScopedRegistryInUse() { SetRegistryInUse(previous_); }
    ScopedRegistryInUse(const ScopedRegistryInUse&) = delete;
    ScopedRegistryInUse& operator=(const ScopedRegistryInUse&) = delete;

private:
    RegistryEditor* previous_;
};
