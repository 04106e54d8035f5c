// A registry held in memory: keys and values that a test (or a platform
// without a registry) sets up, with the lookup rules of the system's: key
// paths and value names ignore ASCII case, and texts (UTF-8 here) are as long
// as their UTF-16 form. Counts the reads it answers, so a test can tell
// whether a caller looked at the registry at all.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>

#include "platform/registry.h"

class MemoryRegistry : public RegistryReader {
public:
    // Creates the key (and nothing above it: paths are looked up whole).
    void AddKey(const std::string& keyPath);
    // Creates the key if needed and sets the value's bytes (no terminator is
    // added; put one in `bytes` to store it).
    void SetValue(const std::string& keyPath, const std::string& valueName, const std::string& bytes);
    // The same with a zero terminator after the text, like a string value.
    void SetText(const std::string& keyPath, const std::string& valueName, const std::string& text);
    void Clear();

    RegistryRead ReadMachineText(const char* keyPath, const char* valueName, size_t maxLength,
                                 std::string& text) override;

    int Reads() const { return reads_.load(std::memory_order_acquire); }

private:
    using Values = std::map<std::string, std::string>;
    std::mutex mutex_;  // the host may create objects on any thread
    std::map<std::string, Values> keys_;
    std::atomic<int> reads_{0};
};
