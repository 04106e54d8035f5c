#include "simulator/profiles/ensoniq_family.h"

#include <string>
#include <utility>

#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {

EnsoniqFamily::EnsoniqFamily(const ProfileSettings& settings, EnsoniqFormat format)
    : InstrumentProfile(settings), format_(std::move(format)) {}

Bytes EnsoniqFamily::Header() const {
    Bytes header = format_.prefix;
    header.push_back(DeviceId());
    return header;
}

Bytes& EnsoniqFamily::Bank() { return Slot("all programs", format_.programNibbles * format_.programs, 0x0F); }

// After power-on the current program is the first internal one.
Bytes& EnsoniqFamily::Current() {
    if (!Memory().count("current program")) {
        const Bytes& bank = Bank();
        MutableMemory()["current program"] =
            Bytes(bank.begin(), bank.begin() + static_cast<long>(format_.programNibbles));
    }
    return MutableMemory()["current program"];
}

DumpCheck EnsoniqFamily::CheckDump(const Bytes& message) const {
    const size_t at = format_.prefix.size();
    if (!StartsWith(message, format_.prefix) || message.size() < at + 3 || message[at] > 0x0F)
        return DumpCheck::NotADump();
    size_t nibbles = 0;
    std::string slot;
    if (message[at + 1] == format_.singleType) {
        nibbles = format_.programNibbles;
        slot = "current program";
    } else if (message[at + 1] == format_.allType) {
        nibbles = format_.programNibbles * format_.programs;
        slot = "all programs";
    } else {
        return DumpCheck::NotADump();
    }
    if (message.size() != at + 2 + nibbles + 1) return DumpCheck::Invalid(slot + " dump of wrong size");
    const Bytes data(message.begin() + static_cast<long>(at + 2), message.end() - 1);
    if (!AllNibbles(data)) return DumpCheck::Invalid(slot + " data is not nibbles");
    return DumpCheck::Valid(slot, data, message[at]);
}

bool EnsoniqFamily::HandleRequest(const Bytes& message, std::vector<Bytes>& replies) {
    const Bytes header = Header();
    if (!StartsWith(message, header)) return false;
    const Bytes body(message.begin() + static_cast<long>(header.size()), message.end() - 1);
    Bytes reply = header;
    if (body == format_.singleRequest) {
        reply.push_back(format_.singleType);
        Append(reply, Current());
    } else if (body == format_.allRequest) {
        reply.push_back(format_.allType);
        Append(reply, Bank());
    } else {
        return false;
    }
    reply.push_back(0xF7);
    replies.push_back(reply);
    return true;
}

void EnsoniqFamily::HandleChannel(const Bytes& message, std::vector<Bytes>& replies) {
    (void)replies;
    if (message.size() != 2 || message[0] != (0xC0 | DeviceId()) || message[1] >= format_.programs) return;
    const Bytes& bank = Bank();
    const auto start = bank.begin() + static_cast<long>(message[1] * format_.programNibbles);
    MutableMemory()["current program"] = Bytes(start, start + static_cast<long>(format_.programNibbles));
}

}  // namespace druv::profiles
