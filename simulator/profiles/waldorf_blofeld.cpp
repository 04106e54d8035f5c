// Waldorf Blofeld: `F0 3E 13 dd 00 bb pp cs F7` asks for sound pp (0..127)
// of bank bb (0..7 = A..H), or with bb 7F for edit buffer pp; the answer is
// SNDD `F0 3E 13 dd 10 bb pp [383] cs F7` (392 bytes), cs the 7-bit sum of
// the 383 data bytes. A checksum of 7F means "don't check", in both
// directions. dd is the device ID 00..7E; 7F reaches every unit.
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kDataSize = 383;
constexpr size_t kDumpSize = 7 + kDataSize + 2;
constexpr uint8_t kBanks = 8;
constexpr uint8_t kSounds = 128;
constexpr uint8_t kEditBank = 0x7F;
constexpr uint8_t kEditBuffers = 16;  // one per multi part
constexpr uint8_t kBroadcast = 0x7F;
constexpr uint8_t kNoChecksum = 0x7F;

class WaldorfBlofeld : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {true, 0, 126}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x3E, 0x13}) || message.size() < 5 || message[4] != 0x10)
            return DumpCheck::NotADump();
        if (message.size() != kDumpSize) return DumpCheck::Invalid("sound dump of wrong size");
        const std::string slot = SoundSlot(message[5], message[6]);
        if (slot.empty()) return DumpCheck::Invalid("no sound " + HexName({message[5], message[6]}));
        const uint8_t checksum = message[7 + kDataSize];
        if (checksum != kNoChecksum && checksum != Sum7(message, 7, kDataSize))
            return DumpCheck::Invalid("bad checksum");
        return DumpCheck::Valid(slot, Bytes(message.begin() + 7, message.begin() + 7 + kDataSize), message[3]);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (!StartsWith(message, {0xF0, 0x3E, 0x13}) || message.size() != 9 || message[4] != 0x00) return false;
        if (message[3] != DeviceId() && message[3] != kBroadcast) return false;
        const std::string slot = SoundSlot(message[5], message[6]);
        if (slot.empty()) return false;
        Bytes reply{0xF0, 0x3E, 0x13, DeviceId(), 0x10, message[5], message[6]};
        Append(reply, Slot(slot, kDataSize));
        reply.push_back(Sum7(reply, 7, kDataSize));
        reply.push_back(0xF7);
        replies.push_back(reply);
        return true;
    }

    bool AcceptsId(int id) const override { return id == DeviceId() || id == kBroadcast; }

private:
    // Empty for an address the unit does not have.
    static std::string SoundSlot(uint8_t bank, uint8_t sound) {
        if (bank == kEditBank) return sound < kEditBuffers ? "edit " + std::to_string(sound) : std::string();
        if (bank >= kBanks || sound >= kSounds) return std::string();
        return "bank " + std::to_string(bank) + " sound " + std::to_string(sound);
    }
};

}  // namespace

DRUV_PROFILE(WaldorfBlofeld, "Waldorf", "Blofeld")

}  // namespace druv::profiles
