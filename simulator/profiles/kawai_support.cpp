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

std::string SingleSlot(int number) { return "single " + std::to_string(number); }

DumpCheck CheckSingleDump(const Bytes& message, uint8_t channel, size_t singleSize, size_t singles) {
    if (message.size() != 8 + singleSize + 1) return DumpCheck::Invalid("single dump of wrong size");
    if (message[6] != 0x00) return DumpCheck::Invalid("no card to write to");
    if (message[7] >= singles) return DumpCheck::Invalid("no single " + std::to_string(message[7]));
    if (!PatchValid(message, 8, singleSize)) return DumpCheck::Invalid("bad checksum");
    return DumpCheck::Valid(SingleSlot(message[7]),
                            Bytes(message.begin() + 8, message.begin() + 8 + static_cast<long>(singleSize)), channel);
}

Bytes SingleDump(uint8_t channel, uint8_t machine, uint8_t number, const Bytes& single) {
    Bytes reply = Header(channel, kOneDataDump, machine);
    reply.push_back(0x00);
    reply.push_back(number);
    Append(reply, single);
    reply.push_back(0xF7);
    return reply;
}

Bytes WriteComplete(uint8_t channel, uint8_t machine) {
    Bytes reply = Header(channel, kWriteComplete, machine);
    reply.push_back(0xF7);
    return reply;
}

}  // namespace druv::profiles::kawai
