#include "simulator/profiles/yamaha_dx7ii_family.h"

#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {

YamahaDx7iiFamily::YamahaDx7iiFamily(const ProfileSettings& settings, std::vector<Dx7iiBlock> blocks)
    : InstrumentProfile(settings), blocks_(std::move(blocks)) {}

std::string YamahaDx7iiFamily::SlotName(const Dx7iiBlock& block) const {
    const std::string slot = block.slot;
    return block.perVoiceBank ? slot + (bank_ == 0 ? " I" : " II") : slot;
}

DumpCheck YamahaDx7iiFamily::CheckDump(const Bytes& message) const {
    if (!StartsWith(message, {0xF0, 0x43}) || message.size() < 8 || (message[2] & 0xF0) != 0x00)
        return DumpCheck::NotADump();
    for (const Dx7iiBlock& block : blocks_) {
        if (message[3] != block.format) continue;
        if (block.checksum && (message[4] != block.countHigh || message[5] != block.countLow)) continue;
        if (!block.checksum && !block.name) continue;
        const size_t nameSize = block.name ? 10 : 0;
        if (block.name && !StartsWith(Bytes(message.begin() + 6, message.end()), Ascii(block.name))) continue;
        const size_t counted = nameSize + block.data;
        const size_t size = counted + (block.checksum ? 8 : 7);
        if (message.size() != size) return DumpCheck::Invalid(std::string("wrong size for ") + block.slot);
        if (block.checksum && message[6 + counted] != TwosComplement7(message, 6, counted))
            return DumpCheck::Invalid("bad checksum");
        return DumpCheck::Valid(
            SlotName(block),
            Bytes(message.begin() + 6 + static_cast<long>(nameSize), message.begin() + 6 + static_cast<long>(counted)),
            message[2] & 0x0F);
    }
    return DumpCheck::NotADump();
}

bool YamahaDx7iiFamily::HandleRequest(const Bytes& message, std::vector<Bytes>& replies) {
    const uint8_t n = DeviceId();
    if (message.size() == 7 && message[1] == 0x43 && message[2] == (0x10 | n) && message[3] == 0x19 &&
        message[4] == 0x4D && message[5] <= 1) {
        bank_ = message[5];
        return true;  // a parameter change: nothing to send
    }
    if (message.size() < 5 || message[1] != 0x43 || message[2] != (0x20 | n)) return false;
    for (const Dx7iiBlock& block : blocks_) {
        Bytes request{0xF0, 0x43, static_cast<uint8_t>(0x20 | n), block.format};
        if (block.name) Append(request, Ascii(block.name));
        request.push_back(0xF7);
        if (message != request) continue;
        Bytes reply{0xF0, 0x43, n, block.format, block.countHigh, block.countLow};
        if (block.name) Append(reply, Ascii(block.name));
        Append(reply, Slot(SlotName(block), block.data));
        if (block.checksum) reply.push_back(TwosComplement7(reply, 6, reply.size() - 6));
        reply.push_back(0xF7);
        replies.push_back(reply);
        return true;
    }
    return false;
}

}  // namespace druv::profiles
