#include "simulator/profiles/yamaha_4op_family.h"

#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {

namespace {

constexpr size_t kBankData = 4096;
constexpr size_t kVcedData = 93;
constexpr size_t kAcedData = 23;
constexpr size_t kPackedVoice = 128;
const char kAcedId[] = "LM  8976AE";

Bytes Dump(uint8_t channel, const Bytes& format, const Bytes& data) {
    Bytes message{0xF0, 0x43, channel};
    Append(message, format);
    const size_t counted = message.size() - 6 + data.size();
    Append(message, data);
    message.push_back(TwosComplement7(message, 6, counted));
    message.push_back(0xF7);
    return message;
}

}  // namespace

Yamaha4OpFamily::Yamaha4OpFamily(const ProfileSettings& settings, bool withAced)
    : InstrumentProfile(settings), withAced_(withAced) {}

Bytes& Yamaha4OpFamily::Bank() { return Slot("bank", kBankData); }

// Power-on: the edit buffer holds voice 1, with the parts the bank packs
// away regenerated for it.
void Yamaha4OpFamily::EnsureEdit() {
    if (Memory().count("edit vced")) return;
    std::vector<Bytes> none;
    HandleChannel(Bytes{static_cast<uint8_t>(0xC0 | DeviceId()), 0x00}, none);
}

DumpCheck Yamaha4OpFamily::CheckDump(const Bytes& message) const {
    if (!StartsWith(message, {0xF0, 0x43}) || message.size() < 8 || (message[2] & 0xF0) != 0x00) return DumpCheck::NotADump();
    const int channel = message[2] & 0x0F;
    std::string slot;
    size_t size = 0;
    size_t dataStart = 6;
    if (message[3] == 0x04 && message[4] == 0x20 && message[5] == 0x00) {
        slot = "bank";
        size = kBankData + 8;
    } else if (message[3] == 0x03 && message[4] == 0x00 && message[5] == 0x5D) {
        slot = "edit vced";
        size = kVcedData + 8;
    } else if (withAced_ && message[3] == 0x7E && message[4] == 0x00 && message[5] == 0x21 &&
               StartsWith(Bytes(message.begin() + 6, message.end()), Ascii(kAcedId))) {
        slot = "edit aced";
        size = 10 + kAcedData + 8;
        dataStart = 16;
    } else {
        return DumpCheck::NotADump();
    }
    if (message.size() != size) return DumpCheck::Invalid("wrong size for " + slot);
    if (message[size - 2] != TwosComplement7(message, 6, size - 8)) return DumpCheck::Invalid("bad checksum");
    return DumpCheck::Valid(slot, Bytes(message.begin() + static_cast<long>(dataStart), message.end() - 2), channel);
}

bool Yamaha4OpFamily::HandleRequest(const Bytes& message, std::vector<Bytes>& replies) {
    if (message.size() < 5 || message[1] != 0x43 || message[2] != (0x20 | DeviceId())) return false;
    if (message.size() == 5 && message[3] == 0x04) {
        replies.push_back(Dump(DeviceId(), {0x04, 0x20, 0x00}, Bank()));
        return true;
    }
    Bytes acedRequest{0xF0, 0x43, static_cast<uint8_t>(0x20 | DeviceId()), 0x7E};
    Append(acedRequest, Ascii(kAcedId));
    acedRequest.push_back(0xF7);
    const bool single = withAced_ ? message == acedRequest : (message.size() == 5 && message[3] == 0x03);
    if (!single) return false;
    EnsureEdit();
    if (withAced_) {
        Bytes format{0x7E, 0x00, 0x21};
        Append(format, Ascii(kAcedId));
        replies.push_back(Dump(DeviceId(), format, MutableMemory()["edit aced"]));
    }
    replies.push_back(Dump(DeviceId(), {0x03, 0x00, 0x5D}, MutableMemory()["edit vced"]));
    return true;
}

void Yamaha4OpFamily::HandleChannel(const Bytes& message, std::vector<Bytes>& replies) {
    (void)replies;
    if (message.size() != 2 || message[0] != (0xC0 | DeviceId()) || message[1] >= 32) return;
    const size_t voice = message[1];
    const std::string name = "voice " + std::to_string(voice);
    Bytes vced = SeededBytes(Seed(), name, kVcedData);
    for (size_t i = 0; i < kVcedData && i < kPackedVoice; ++i) vced[i] = Bank()[voice * kPackedVoice + i];
    MutableMemory()["edit vced"] = vced;
    if (withAced_) MutableMemory()["edit aced"] = SeededBytes(Seed(), name + " aced", kAcedData);
}

}  // namespace druv::profiles
