#include "simulator/profiles/profile_bytes.h"

#include <cstdio>

namespace druv::profiles {

namespace {

uint64_t SplitMix(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint64_t HashText(const std::string& text) {
    uint64_t hash = 0xCBF29CE484222325ull;  // FNV-1a
    for (unsigned char c : text) hash = (hash ^ c) * 0x100000001B3ull;
    return hash;
}

}  // namespace

Bytes SeededBytes(uint64_t seed, const std::string& slot, size_t size, uint8_t mask) {
    uint64_t state = seed * 0x2545F4914F6CDD1Dull ^ HashText(slot);
    Bytes bytes(size);
    uint64_t word = 0;
    for (size_t i = 0; i < size; ++i) {
        if (i % 8 == 0) word = SplitMix(state);
        bytes[i] = static_cast<uint8_t>((word >> (8 * (i % 8))) & mask);
    }
    return bytes;
}

uint8_t Sum7(const Bytes& bytes, size_t start, size_t count) {
    unsigned sum = 0;
    for (size_t i = start; i < start + count && i < bytes.size(); ++i) sum += bytes[i];
    return static_cast<uint8_t>(sum & 0x7F);
}

uint8_t TwosComplement7(const Bytes& bytes, size_t start, size_t count) {
    return static_cast<uint8_t>((0x80 - Sum7(bytes, start, count)) & 0x7F);
}

bool StartsWith(const Bytes& message, std::initializer_list<uint8_t> prefix) {
    if (message.size() < prefix.size()) return false;
    size_t i = 0;
    for (uint8_t byte : prefix)
        if (message[i++] != byte) return false;
    return true;
}

bool StartsWith(const Bytes& message, const Bytes& prefix) {
    if (message.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (message[i] != prefix[i]) return false;
    return true;
}

Bytes Ascii(const std::string& text) { return Bytes(text.begin(), text.end()); }

void Append(Bytes& to, const Bytes& more) {
    for (uint8_t byte : more) to.push_back(byte);
}

Bytes SplitLowFirst(const Bytes& bytes) {
    Bytes nibbles;
    nibbles.reserve(bytes.size() * 2);
    for (uint8_t byte : bytes) {
        nibbles.push_back(byte & 0x0F);
        nibbles.push_back(byte >> 4);
    }
    return nibbles;
}

Bytes SplitHighFirst(const Bytes& bytes) {
    Bytes nibbles;
    nibbles.reserve(bytes.size() * 2);
    for (uint8_t byte : bytes) {
        nibbles.push_back(byte >> 4);
        nibbles.push_back(byte & 0x0F);
    }
    return nibbles;
}

Bytes JoinLowFirst(const Bytes& nibbles) {
    Bytes bytes;
    for (size_t i = 0; i + 1 < nibbles.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>((nibbles[i] & 0x0F) | ((nibbles[i + 1] & 0x0F) << 4)));
    return bytes;
}

Bytes JoinHighFirst(const Bytes& nibbles) {
    Bytes bytes;
    for (size_t i = 0; i + 1 < nibbles.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(((nibbles[i] & 0x0F) << 4) | (nibbles[i + 1] & 0x0F)));
    return bytes;
}

bool AllNibbles(const Bytes& bytes) {
    for (uint8_t byte : bytes)
        if (byte > 0x0F) return false;
    return true;
}

Bytes Wrap(const Bytes& body) {
    Bytes message;
    message.reserve(body.size() + 2);
    message.push_back(0xF0);
    Append(message, body);
    message.push_back(0xF7);
    return message;
}

uint32_t RolandAddress(const Bytes& bytes, size_t offset, size_t width) {
    uint32_t address = 0;
    for (size_t i = 0; i < width && offset + i < bytes.size(); ++i) address = (address << 7) | (bytes[offset + i] & 0x7F);
    return address;
}

Bytes RolandAddressBytes(uint32_t address, size_t width) {
    Bytes bytes(width);
    for (size_t i = 0; i < width; ++i) bytes[width - 1 - i] = static_cast<uint8_t>((address >> (7 * i)) & 0x7F);
    return bytes;
}

std::string HexName(const Bytes& bytes) {
    std::string name;
    char part[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(part, sizeof part, i ? " %02X" : "%02X", bytes[i]);
        name += part;
    }
    return name;
}

}  // namespace druv::profiles
