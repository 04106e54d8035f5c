#include "platform/registry_editor.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/utf16_text.h"
#include "platform/wide_text.h"

namespace {

HKEY RootKey(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegistryRoot::CurrentUser: break;
    }
    return HKEY_CURRENT_USER;
}

// Closes the key when it goes out of scope, on every path out of a call.
class OpenKey {
public:
    OpenKey() = default;
    ~OpenKey() {
        if (key_) RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    bool Create(RegistryRoot root, const std::string& keyPath, REGSAM access) {
        if (!IsWellFormedKeyPath(keyPath)) return false;
        return RegCreateKeyExW(RootKey(root), WideText(keyPath).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               access, nullptr, &key_, nullptr) == ERROR_SUCCESS;
    }
    bool Open(RegistryRoot root, const std::string& keyPath, REGSAM access) {
        if (!IsWellFormedKeyPath(keyPath)) return false;
        return RegOpenKeyExW(RootKey(root), WideText(keyPath).c_str(), 0, access, &key_) == ERROR_SUCCESS;
    }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// The stored form of a text: UTF-16 with its zero unit, the length in bytes
// counting it.
std::vector<BYTE> SystemTextBytes(const RegistryValue& value) {
    std::u16string units = Utf8ToUtf16(value.AsText());
    units.push_back(u'\0');
    const BYTE* first = reinterpret_cast<const BYTE*>(units.data());
    return std::vector<BYTE>(first, first + units.size() * sizeof(char16_t));
}

// A text as the registry holds it, which need not be what a writer meant:
// an odd last byte is dropped, the text ends at the first zero unit or at the
// end of the data when it has none.
std::string TextFromSystemBytes(const std::vector<BYTE>& bytes) {
    const size_t units = bytes.size() / sizeof(wchar_t);
    std::u16string text(units, u'\0');
    if (units != 0) std::memcpy(&text[0], bytes.data(), units * sizeof(wchar_t));
    const size_t end = text.find(u'\0');
    if (end != std::u16string::npos) text.resize(end);
    return Utf16ToUtf8(text);
}

class SystemRegistry : public RegistryEditor {
public:
    bool CreateKey(RegistryRoot root, const std::string& keyPath) override {
        OpenKey key;
        return key.Create(root, keyPath, KEY_WRITE);
    }

    bool SetValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                  const RegistryValue& value) override {
        std::vector<BYTE> bytes;
        DWORD type = REG_BINARY;
        switch (value.type) {
        case RegistryType::Text:
            bytes = SystemTextBytes(value);
            type = REG_SZ;
            break;
        case RegistryType::Dword:
            if (value.data.size() != sizeof(DWORD)) return false;
            bytes.assign(value.data.begin(), value.data.end());
            type = REG_DWORD;
            break;
        case RegistryType::Binary:
            bytes.assign(value.data.begin(), value.data.end());
            break;
        default:
            return false;
        }
        if (bytes.size() > MAXDWORD) return false;
        OpenKey key;
        if (!key.Create(root, keyPath, KEY_SET_VALUE)) return false;
        return RegSetValueExW(key.get(), WideText(valueName).c_str(), 0, type, bytes.empty() ? nullptr : bytes.data(),
                              static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
    }

    RegistryRead ReadValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                           RegistryValue& value) override {
        OpenKey key;
        if (!key.Open(root, keyPath, KEY_QUERY_VALUE)) return RegistryRead::NoKey;
        const std::wstring name = WideText(valueName);
        // The value may grow between asking its size and reading it; ask again then.
        for (int attempt = 0; attempt < 4; ++attempt) {
            DWORD type = 0;
            DWORD size = 0;
            if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
                return RegistryRead::NoValue;
            std::vector<BYTE> bytes(size);
            BYTE* data = bytes.empty() ? nullptr : bytes.data();
            const LONG status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, data, &size);
            if (status == ERROR_MORE_DATA) continue;
            if (status != ERROR_SUCCESS) return RegistryRead::NoValue;
            bytes.resize(size);
            switch (type) {
            case REG_SZ:
            case REG_EXPAND_SZ:
                value = RegistryValue::Text(TextFromSystemBytes(bytes));
                return RegistryRead::Ok;
            case REG_DWORD:
                value.type = RegistryType::Dword;
                break;
            default:
                value.type = RegistryType::Binary;
                break;
            }
            value.data.assign(bytes.begin(), bytes.end());
            return RegistryRead::Ok;
        }
        return RegistryRead::NoValue;
    }

    RegistryRead ReadText(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                          size_t maxLength, std::string& text) override {
        OpenKey key;
        if (!key.Open(root, keyPath, KEY_QUERY_VALUE)) return RegistryRead::NoKey;
        // Room for the longest text and the terminator a string value carries.
        std::vector<wchar_t> buffer(maxLength + 1, L'\0');
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const LONG status = RegQueryValueExW(key.get(), WideText(valueName).c_str(), nullptr, nullptr,
                                             reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (status == ERROR_MORE_DATA) return RegistryRead::TooLong;
        if (status != ERROR_SUCCESS) return RegistryRead::NoValue;
        const size_t units = size / sizeof(wchar_t);
        size_t length = 0;
        while (length < units && buffer[length] != L'\0') ++length;
        if (length > maxLength) return RegistryRead::TooLong;
        text = Utf16ToUtf8(std::u16string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(length)));
        return RegistryRead::Ok;
    }

    bool KeyExists(RegistryRoot root, const std::string& keyPath) override {
        OpenKey key;
        return key.Open(root, keyPath, KEY_QUERY_VALUE);
    }

    bool SubkeyName(RegistryRoot root, const std::string& keyPath, size_t index, std::string& name) override {
        OpenKey key;
        if (index > MAXDWORD || !key.Open(root, keyPath, KEY_ENUMERATE_SUB_KEYS)) return false;
        // A key name holds at most 255 characters.
        wchar_t buffer[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key.get(), static_cast<DWORD>(index), buffer, &length, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS)
            return false;
        name = Utf8Text(buffer, length < 256 ? length : 255);
        return true;
    }

    bool DeleteKey(RegistryRoot root, const std::string& keyPath) override {
        // RegDeleteKeyW would take the root itself for an empty path.
        if (keyPath.empty() || !IsWellFormedKeyPath(keyPath)) return false;
        return RegDeleteKeyW(RootKey(root), WideText(keyPath).c_str()) == ERROR_SUCCESS;
    }
};

}  // namespace

RegistryEditor& SystemRegistryEditor() {
    static SystemRegistry editor;
    return editor;
}
