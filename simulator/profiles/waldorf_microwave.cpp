// Waldorf Microwave (I): `F0 3E 00 dd 02 F7` answers the current sound as
// BPRD `F0 3E 00 dd 42 [180] cs F7` (187 bytes); `F0 3E 00 dd 10 00 F7` the
// 64 sounds of the bank as BPBR `F0 3E 00 dd 50 [11520] cs F7` (11527
// bytes); cs is the 7-bit sum of the data. A program change selects a sound
// of the bank as the current one. Both dumps are taken back.
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kSoundSize = 180;
constexpr size_t kSounds = 64;
constexpr size_t kBankSize = kSoundSize * kSounds;

class WaldorfMicrowave : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {true, 0, 126}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x3E, 0x00}) || message.size() < 6) return DumpCheck::NotADump();
        size_t data = 0;
        std::string slot;
        if (message[4] == 0x42) {
            data = kSoundSize;
            slot = "sound";
        } else if (message[4] == 0x50) {
            data = kBankSize;
            slot = "bank";
        } else {
            return DumpCheck::NotADump();
        }
        if (message.size() != 5 + data + 2) return DumpCheck::Invalid(slot + " dump of wrong size");
        if (message[5 + data] != Sum7(message, 5, data)) return DumpCheck::Invalid("bad checksum");
        return DumpCheck::Valid(slot, Bytes(message.begin() + 5, message.begin() + 5 + static_cast<long>(data)),
                                message[3]);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (!StartsWith(message, {0xF0, 0x3E, 0x00, DeviceId()})) return false;
        if (message.size() == 6 && message[4] == 0x02) {
            replies.push_back(Dump(0x42, Sound()));
            return true;
        }
        if (message.size() == 7 && message[4] == 0x10 && message[5] == 0x00) {
            replies.push_back(Dump(0x50, Bank()));
            return true;
        }
        return false;
    }

    // On any channel: the unit's MIDI channel is set apart from its device ID.
    void HandleChannel(const Bytes& message, std::vector<Bytes>& replies) override {
        (void)replies;
        if ((message[0] & 0xF0) != 0xC0 || message.size() != 2 || message[1] >= kSounds) return;
        const Bytes& bank = Bank();
        const auto start = bank.begin() + static_cast<long>(message[1] * kSoundSize);
        MutableMemory()["sound"] = Bytes(start, start + static_cast<long>(kSoundSize));
    }

private:
    Bytes Dump(uint8_t type, const Bytes& data) const {
        Bytes message{0xF0, 0x3E, 0x00, DeviceId(), type};
        Append(message, data);
        message.push_back(Sum7(message, 5, data.size()));
        message.push_back(0xF7);
        return message;
    }
    Bytes& Bank() { return Slot("bank", kBankSize); }
    Bytes& Sound() {
        if (!Memory().count("sound")) {
            const Bytes& bank = Bank();
            MutableMemory()["sound"] = Bytes(bank.begin(), bank.begin() + static_cast<long>(kSoundSize));
        }
        return MutableMemory()["sound"];
    }
};

}  // namespace

DRUV_PROFILE(WaldorfMicrowave, "Waldorf", "Microwave")

}  // namespace druv::profiles
