#include "simulator/profiles/kawai_support.h"

#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles::kawai {

uint8_t Checksum(const Bytes& bytes, size_t start, size_t count) {
    unsigned sum = 0xA5;
    for (size_t i = start; i < start + count && i < bytes.size(); ++i) sum += bytes[i];
    return static_cast<uint8_t>(sum & 0x7F);
}

Bytes SeededPatch(uint64_t seed, const std::string& slot, size_t size) {
    Bytes patch = SeededBytes(seed, slot, size);
    if (!patch.empty()) patch.back() = Checksum(patch, 0, size - 1);
    return patch;
}

bool PatchValid(const Bytes& bytes, size_t start, size_t size) {
    if (size == 0 || start + size > bytes.size()) return false;
    return bytes[start + size - 1] == Checksum(bytes, start, size - 1);
}

Bytes Header(uint8_t channel, uint8_t function, uint8_t machine) {
    return Bytes{0xF0, 0x40, channel, function, 0x00, machine};
}

bool ParseHeader(const Bytes& message, uint8_t machine, uint8_t& channel, uint8_t& function) {
    if (message.size() < 7 || message[0] != 0xF0 || message[1] != 0x40 || message[2] > 0x0F || message[4] != 0x00 ||
        message[5] != machine)
        return false;
    channel = message[2];
    function = message[3];
    return true;
}

}  // namespace druv::profiles::kawai
