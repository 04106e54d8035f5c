#include "platform/registry.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>

#include "platform/utf16_text.h"
#include "platform/wide_text.h"
#else
#include "platform/memory_registry.h"
#endif

namespace {

#ifdef _WIN32
// The wide API throughout: the path of a definition may hold any character,
// which the 8-bit API would turn into the system code page's guesses.
class SystemRegistry : public RegistryReader {
public:
    RegistryRead ReadMachineText(const char* keyPath, const char* valueName, size_t maxLength,
                                 std::string& text) override {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, WideText(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return RegistryRead::NoKey;
        // Room for the longest text and the terminator a string value carries.
        std::vector<wchar_t> buffer(maxLength + 1, L'\0');
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const LONG status = RegQueryValueExW(key, WideText(valueName).c_str(), nullptr, nullptr,
                                             reinterpret_cast<BYTE*>(buffer.data()), &size);
        RegCloseKey(key);
        if (status == ERROR_MORE_DATA) return RegistryRead::TooLong;
        if (status != ERROR_SUCCESS) return RegistryRead::NoValue;
        const size_t units = size / sizeof(wchar_t);
        size_t length = 0;
        while (length < units && buffer[length] != L'\0') ++length;
        if (length > maxLength) return RegistryRead::TooLong;
        const std::u16string value(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(length));
        text = Utf16ToUtf8(value);
        return RegistryRead::Ok;
    }
};

RegistryReader& SystemReader() {
    static SystemRegistry reader;
    return reader;
}
#else
// Without a system registry the machine's registry is the process's one in
// memory, the one SystemRegistryEditor() writes.
RegistryReader& SystemReader() { return ProcessMemoryRegistry(); }
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
