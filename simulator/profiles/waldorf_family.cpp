#include "simulator/profiles/waldorf_family.h"

#include <utility>

#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {

namespace {

constexpr size_t kTypeAt = 4;  // after F0 3E model dd
constexpr uint8_t kBroadcast = 0x7F;
constexpr uint8_t kAnyChecksum = 0x7F;

bool TypeAt(const Bytes& message, const Bytes& type) {
    if (type.empty() || message.size() < kTypeAt + type.size()) return false;
    for (size_t i = 0; i < type.size(); ++i)
        if (message[kTypeAt + i] != type[i]) return false;
    return true;
}

}  // namespace

WaldorfFamily::WaldorfFamily(const ProfileSettings& settings, WaldorfFormat format)
    : InstrumentProfile(settings), format_(std::move(format)) {}

std::string WaldorfFamily::SoundSlot(const Bytes& message, size_t at) const {
    const Bytes address(message.begin() + static_cast<long>(at),
                        message.begin() + static_cast<long>(at + format_.addressBytes));
    if (!format_.editAddress.empty() && address == format_.editAddress) return "edit";
    const uint8_t program = address.back();
    if (program >= format_.programs) return std::string();
    if (format_.addressBytes == 1) return "sound " + std::to_string(program);
    if (address[0] >= format_.banks) return std::string();
    return "bank " + std::to_string(address[0]) + " sound " + std::to_string(program);
}

bool WaldorfFamily::ChecksumPasses(uint8_t checksum, uint8_t expected) const {
    return checksum == expected || (format_.anyChecksum7F && checksum == kAnyChecksum);
}

bool WaldorfFamily::AcceptsId(int id) const { return id == DeviceId() || (format_.broadcast && id == kBroadcast); }

DumpCheck WaldorfFamily::CheckDump(const Bytes& message) const {
    if (!StartsWith(message, {0xF0, 0x3E, format_.model}) || message.size() <= kTypeAt) return DumpCheck::NotADump();
    const Bytes* type = TypeAt(message, format_.dumpType) ? &format_.dumpType : nullptr;
    for (const Bytes& write : format_.writeTypes)
        if (!type && TypeAt(message, write)) type = &write;
    if (!type) return DumpCheck::NotADump();
    const size_t address = kTypeAt + type->size();
    const size_t data = address + format_.addressBytes;
    if (message.size() != data + format_.dataSize + 2) return DumpCheck::Invalid("sound dump of wrong size");
    const std::string slot = SoundSlot(message, address);
    if (slot.empty())
        return DumpCheck::Invalid("no sound " + HexName(Bytes(message.begin() + static_cast<long>(address),
                                                              message.begin() + static_cast<long>(data))));
    if (!ChecksumPasses(message[data + format_.dataSize], Sum7(message, data, format_.dataSize)))
        return DumpCheck::Invalid("bad checksum");
    const auto start = message.begin() + static_cast<long>(data);
    return DumpCheck::Valid(slot, Bytes(start, start + static_cast<long>(format_.dataSize)), message[3]);
}

bool WaldorfFamily::HandleRequest(const Bytes& message, std::vector<Bytes>& replies) {
    if (!StartsWith(message, {0xF0, 0x3E, format_.model}) || !TypeAt(message, format_.requestType)) return false;
    if (!AcceptsId(message[3])) return false;
    const size_t address = kTypeAt + format_.requestType.size();
    const size_t end = address + format_.addressBytes + (format_.requestChecksum ? 1 : 0);
    if (message.size() != end + 1) return false;
    const std::string slot = SoundSlot(message, address);
    if (slot.empty()) return false;
    if (format_.requestChecksum &&
        !ChecksumPasses(message[end - 1], Sum7(message, address, format_.addressBytes))) {
        Refuse(&ProfileCounts::refusedInvalid, "request with a bad checksum: " + HexName(message));
        return true;
    }
    Bytes reply{0xF0, 0x3E, format_.model, DeviceId()};
    Append(reply, format_.dumpType);
    Append(reply, Bytes(message.begin() + static_cast<long>(address),
                        message.begin() + static_cast<long>(address + format_.addressBytes)));
    Append(reply, Slot(slot, format_.dataSize));
    reply.push_back(Sum7(reply, reply.size() - format_.dataSize, format_.dataSize));
    reply.push_back(0xF7);
    replies.push_back(reply);
    return true;
}

}  // namespace druv::profiles
