#include "simulator/profiles/roland_family.h"

#include <algorithm>
#include <cstdlib>

#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {

RolandProfile::RolandProfile(const ProfileSettings& settings, RolandLayout layout)
    : InstrumentProfile(settings), layout_(std::move(layout)) {}

int RolandProfile::BlockAt(uint32_t address) const {
    for (size_t i = 0; i < layout_.blocks.size(); ++i) {
        const RolandBlock& block = layout_.blocks[i];
        if (address >= block.address && address < block.address + block.size) return static_cast<int>(i);
    }
    return -1;
}

Bytes RolandProfile::BlockBytes(size_t block) const {
    const std::string name = "block " + SlotName(layout_.blocks[block].address, layout_.blocks[block].size);
    auto found = Memory().find(name);
    if (found != Memory().end()) return found->second;
    return SeededBytes(Seed(), name, layout_.blocks[block].size, layout_.dataMask);
}

std::string RolandProfile::SlotName(uint32_t address, size_t size) const {
    return HexName(RolandAddressBytes(address, layout_.addressWidth)) + " +" + std::to_string(size);
}

std::optional<Bytes> RolandProfile::Contents(const std::string& slot) const {
    const size_t plus = slot.find(" +");
    if (plus == std::string::npos) return InstrumentProfile::Contents(slot);
    uint32_t address = 0;
    for (size_t i = 0; i < plus; i += 3) address = (address << 7) | static_cast<uint32_t>(std::strtoul(slot.substr(i, 2).c_str(), nullptr, 16));
    const size_t size = std::strtoul(slot.c_str() + plus + 2, nullptr, 10);
    const int block = BlockAt(address);
    if (block < 0 || address + size > layout_.blocks[block].address + layout_.blocks[block].size) return std::nullopt;
    const Bytes bytes = BlockBytes(static_cast<size_t>(block));
    const size_t offset = address - layout_.blocks[block].address;
    return Bytes(bytes.begin() + static_cast<long>(offset), bytes.begin() + static_cast<long>(offset + size));
}

std::vector<Bytes> RolandProfile::DataSet(uint32_t address, size_t size) const {
    std::vector<Bytes> messages;
    const uint32_t end = address + static_cast<uint32_t>(size);
    for (size_t b = 0; b < layout_.blocks.size(); ++b) {
        const RolandBlock& block = layout_.blocks[b];
        const uint32_t from = std::max<uint32_t>(address, block.address);
        const uint32_t to = std::min<uint32_t>(end, block.address + static_cast<uint32_t>(block.size));
        if (from >= to) continue;
        const Bytes bytes = BlockBytes(b);
        for (uint32_t at = from; at < to; at += static_cast<uint32_t>(layout_.chunk)) {
            const uint32_t stop = std::min<uint32_t>(to, at + static_cast<uint32_t>(layout_.chunk));
            Bytes message{0xF0, 0x41, DeviceId()};
            Append(message, layout_.model);
            message.push_back(0x12);
            Append(message, RolandAddressBytes(at, layout_.addressWidth));
            for (uint32_t i = at; i < stop; ++i) message.push_back(bytes[i - block.address]);
            const size_t checked = 4 + layout_.model.size();
            message.push_back(TwosComplement7(message, checked, message.size() - checked));
            message.push_back(0xF7);
            messages.push_back(message);
        }
    }
    return messages;
}

DumpCheck RolandProfile::CheckDump(const Bytes& message) const {
    const size_t header = HeaderSize();
    if (!StartsWith(message, {0xF0, 0x41}) || message.size() < header + 2) return DumpCheck::NotADump();
    if (!StartsWith(Bytes(message.begin() + 3, message.end()), layout_.model)) return DumpCheck::NotADump();
    if (message[3 + layout_.model.size()] != 0x12) return DumpCheck::NotADump();
    if (message.size() < header + 3) return DumpCheck::Invalid("DT1 without data");
    const size_t checked = 4 + layout_.model.size();
    if (message[message.size() - 2] != TwosComplement7(message, checked, message.size() - 2 - checked))
        return DumpCheck::Invalid("bad checksum");
    const uint32_t address = RolandAddress(message, checked, layout_.addressWidth);
    const size_t size = message.size() - header - 2;
    for (size_t i = header; i < header + size; ++i)
        if (message[i] > layout_.dataMask) return DumpCheck::Invalid("DT1 data that are not nibbles");
    const int block = BlockAt(address);
    if (block < 0 || address + size > layout_.blocks[block].address + layout_.blocks[block].size)
        return DumpCheck::Invalid("DT1 outside the memory");
    return DumpCheck::Valid(SlotName(address, size), Bytes(message.begin() + static_cast<long>(header), message.end() - 2),
                            message[2]);
}

bool RolandProfile::HandleRequest(const Bytes& message, std::vector<Bytes>& replies) {
    const size_t width = layout_.addressWidth;
    const size_t checked = 4 + layout_.model.size();
    if (message.size() != checked + 2 * width + 2 || message[1] != 0x41 || message[2] != DeviceId()) return false;
    if (!StartsWith(Bytes(message.begin() + 3, message.end()), layout_.model) || message[checked - 1] != 0x11) return false;
    if (message[message.size() - 2] != TwosComplement7(message, checked, 2 * width)) {
        Refuse(&ProfileCounts::refusedInvalid, "RQ1 with a bad checksum");
        return true;
    }
    uint32_t address = RolandAddress(message, checked, width);
    size_t size = RolandAddress(message, checked + width, width);
    Requested(address, size);
    replies = DataSet(address, size);
    if (replies.empty()) Refuse(&ProfileCounts::refusedInvalid, "RQ1 for an address outside the memory");
    return true;
}

void RolandProfile::Store(const DumpCheck& dump) {
    const size_t plus = dump.slot.find(" +");
    uint32_t address = 0;
    for (size_t i = 0; i < plus; i += 3)
        address = (address << 7) | static_cast<uint32_t>(std::strtoul(dump.slot.substr(i, 2).c_str(), nullptr, 16));
    const int block = BlockAt(address);
    if (block < 0) return;
    const RolandBlock& where = layout_.blocks[static_cast<size_t>(block)];
    Bytes bytes = BlockBytes(static_cast<size_t>(block));
    std::copy(dump.data.begin(), dump.data.end(), bytes.begin() + static_cast<long>(address - where.address));
    MutableMemory()["block " + SlotName(where.address, where.size)] = bytes;
}

}  // namespace druv::profiles
