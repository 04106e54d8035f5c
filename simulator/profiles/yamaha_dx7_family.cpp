#include "simulator/profiles/yamaha_dx7_family.h"

#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {

namespace {

constexpr size_t kBankData = 4096;
constexpr size_t kVoiceData = 155;
constexpr size_t kPackedVoice = 128;  // one voice inside the bank

Bytes Dump(uint8_t channel, std::initializer_list<uint8_t> format, const Bytes& data) {
    Bytes message{0xF0, 0x43, channel};
    for (uint8_t byte : format) message.push_back(byte);
    Append(message, data);
    message.push_back(TwosComplement7(message, 6, data.size()));
    message.push_back(0xF7);
    return message;
}

}  // namespace

YamahaDx7Family::YamahaDx7Family(const ProfileSettings& settings, bool answersRequests)
    : InstrumentProfile(settings), answersRequests_(answersRequests) {}

std::vector<std::string> YamahaDx7Family::PanelActions() const { return {"voice bank", "voice"}; }

Bytes& YamahaDx7Family::Bank() { return Slot("bank", kBankData); }

// The edit buffer starts as voice 1 of the bank, as after power-on.
Bytes& YamahaDx7Family::Edit() {
    if (!Memory().count("edit")) {
        Bytes voice(Bank().begin(), Bank().begin() + kPackedVoice);
        Bytes edit = SeededBytes(Seed(), "edit", kVoiceData);
        for (size_t i = 0; i < kPackedVoice; ++i) edit[i] = voice[i];
        MutableMemory()["edit"] = edit;
    }
    return MutableMemory()["edit"];
}

Bytes YamahaDx7Family::BankMessage() { return Dump(DeviceId(), {0x09, 0x20, 0x00}, Bank()); }
Bytes YamahaDx7Family::VoiceMessage() { return Dump(DeviceId(), {0x00, 0x01, 0x1B}, Edit()); }

DumpCheck YamahaDx7Family::CheckDump(const Bytes& message) const {
    if (!StartsWith(message, {0xF0, 0x43}) || message.size() < 6 || (message[2] & 0xF0) != 0x00) return DumpCheck::NotADump();
    const int channel = message[2] & 0x0F;
    size_t data = 0;
    std::string slot;
    if (message[3] == 0x09 && message[4] == 0x20 && message[5] == 0x00) {
        data = kBankData;
        slot = "bank";
    } else if (message[3] == 0x00 && message[4] == 0x01 && message[5] == 0x1B) {
        data = kVoiceData;
        slot = "edit";
    } else {
        return DumpCheck::NotADump();
    }
    if (message.size() != data + 8) return DumpCheck::Invalid("wrong size for " + slot);
    if (message[6 + data] != TwosComplement7(message, 6, data)) return DumpCheck::Invalid("bad checksum");
    return DumpCheck::Valid(slot, Bytes(message.begin() + 6, message.begin() + 6 + static_cast<long>(data)), channel);
}

bool YamahaDx7Family::HandleRequest(const Bytes& message, std::vector<Bytes>& replies) {
    if (!answersRequests_ || message.size() != 5 || message[1] != 0x43 || message[2] != (0x20 | DeviceId()))
        return false;
    if (message[3] == 0x09) {
        replies.push_back(BankMessage());
        return true;
    }
    if (message[3] == 0x00) {
        replies.push_back(VoiceMessage());
        return true;
    }
    return false;
}

// A program change on the unit's channel loads voice pp (0..31) of the
// bank into the edit buffer; the rest of the buffer (what the bank packs
// away) is regenerated for that voice.
void YamahaDx7Family::HandleChannel(const Bytes& message, std::vector<Bytes>& replies) {
    (void)replies;
    if (message.size() != 2 || message[0] != (0xC0 | DeviceId()) || message[1] >= 32) return;
    const size_t voice = message[1];
    Bytes edit = SeededBytes(Seed(), "voice " + std::to_string(voice), kVoiceData);
    for (size_t i = 0; i < kPackedVoice; ++i) edit[i] = Bank()[voice * kPackedVoice + i];
    MutableMemory()["edit"] = edit;
}

bool YamahaDx7Family::PanelDump(const std::string& action, std::vector<Bytes>& messages) {
    if (action == "voice bank") {
        messages.push_back(BankMessage());
        return true;
    }
    if (action == "voice") {
        messages.push_back(VoiceMessage());
        return true;
    }
    return false;
}

}  // namespace druv::profiles
