#include "platform/registry.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>
#else
#include "platform/memory_registry.h"
#endif

namespace {

#ifdef _WIN32
class SystemRegistry : public RegistryReader {
public:
    RegistryRead ReadMachineText(const char* keyPath, const char* valueName, size_t maxLength,
                                 std::string& text) override {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return RegistryRead::NoKey;
        // Room for the longest text and the terminator a string value carries.
        std::vector<char> buffer(maxLength + 1, '\0');
        DWORD size = static_cast<DWORD>(buffer.size());
        const LONG status =
            RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size);
        RegCloseKey(key);
        if (status == ERROR_MORE_DATA) return RegistryRead::TooLong;
        if (status != ERROR_SUCCESS) return RegistryRead::NoValue;
        size_t length = 0;
        while (length < size && buffer[length] != '\0') ++length;
        if (length > maxLength) return RegistryRead::TooLong;
        text.assign(buffer.data(), length);
        return RegistryRead::Ok;
    }
};

RegistryReader& SystemReader() {
    static SystemRegistry reader;
    return reader;
}
#else
// Without a system registry the machine's registry is an empty one in memory.
RegistryReader& SystemReader() {
    static MemoryRegistry reader;
    return reader;
}
#endif

RegistryReader*& InstalledReader() {
    static RegistryReader* reader = nullptr;
    return reader;
}

}  // namespace

RegistryReader& MachineRegistry() {
    RegistryReader* reader = InstalledReader();
    return reader ? *reader : SystemReader();
}

RegistryReader* SetMachineRegistry(RegistryReader* reader) {
    RegistryReader* previous = InstalledReader();
    InstalledReader() = reader;
    return previous;
}
