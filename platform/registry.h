// Reading text values from the machine-wide part of the registry
// (HKEY_LOCAL_MACHINE): what the component server needs to find a device's
// definition file. On Windows the system registry answers; elsewhere, and in
// tests that install one, an in-memory registry (platform/memory_registry.h).
#pragma once

#include <cstddef>
#include <string>

enum class RegistryRead {
    Ok,
    NoKey,    // the key cannot be opened for reading
    NoValue,  // the key has no such value, or it cannot be read
    TooLong,  // the value holds more than the caller's limit
};

class RegistryReader {
public:
    virtual ~RegistryReader() = default;

    // Reads `valueName` of the key `keyPath` (below HKEY_LOCAL_MACHINE,
    // backslash-separated; both UTF-8) as text of at most `maxLength`
    // characters, counted as Windows counts them: in UTF-16 units. The
    // value's type is ignored; it is read as UTF-16 up to the first zero unit
    // and handed back as UTF-8, so `text` may hold up to three bytes per
    // character. The key is opened and closed within the call. `text` is set
    // only on Ok.
    virtual RegistryRead ReadMachineText(const char* keyPath, const char* valueName, size_t maxLength,
                                         std::string& text) = 0;
};

// The reader in force: the system's registry unless a test installed another.
RegistryReader& MachineRegistry();

// Installs `reader` (null restores the system's) and returns the one that was
// in force. Not meant to be called while another thread reads.
RegistryReader* SetMachineRegistry(RegistryReader* reader);

// Installs a reader for the lifetime of the guard.
class ScopedMachineRegistry {
public:
    explicit ScopedMachineRegistry(RegistryReader& reader) : previous_(SetMachineRegistry(&reader)) {}
    ~ScopedMachineRegistry() { SetMachineRegistry(previous_); }
    ScopedMachineRegistry(const ScopedMachineRegistry&) = delete;
    ScopedMachineRegistry& operator=(const ScopedMachineRegistry&) = delete;

private:
    RegistryReader* previous_;
};
