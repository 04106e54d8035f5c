#include "platform/registry_editor.h"

RegistryValue RegistryValue::Text(const std::string& text) {
    RegistryValue value;
    value.type = RegistryType::Text;
    value.data.assign(text.begin(), text.end());
    value.data.push_back(0);
    return value;
}

RegistryValue RegistryValue::Dword(uint32_t number) {
    RegistryValue value;
    value.type = RegistryType::Dword;
    for (int shift = 0; shift < 32; shift += 8) value.data.push_back(static_cast<uint8_t>(number >> shift));
    return value;
}

RegistryValue RegistryValue::Binary(const std::vector<uint8_t>& bytes) {
    RegistryValue value;
    value.type = RegistryType::Binary;
    value.data = bytes;
    return value;
}

std::string RegistryValue::AsText() const {
    if (type != RegistryType::Text) return std::string();
    size_t length = 0;
    while (length < data.size() && data[length] != 0) ++length;
    return std::string(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(length));
}

bool RegistryValue::AsDword(uint32_t& number) const {
    if (type != RegistryType::Dword || data.size() != 4) return false;
    number = static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
             static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
    return true;
}

bool operator==(const RegistryValue& a, const RegistryValue& b) { return a.type == b.type && a.data == b.data; }
