// Yamaha FS1R: performances and voices by parameter address.
//   request `F0 43 2n 5E ah am al F7`
//   reply   `F0 43 0n 5E bh bl ah am al [data] cs F7`, cs the two's
//           complement of byte count, address and data (offsets 4..len-3)
// Addresses: performance pp at 11 00 pp (400 bytes, 411 in all), its edit
// buffer at 10 00 00; voice pp at 51 00 pp (608 bytes, 619 in all), the
// edit buffers of the four parts at 40..43 00 00. pp runs 0..127.
#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kPerformance = 400;  // byte count 03 10
constexpr size_t kVoice = 608;        // byte count 04 60

class YamahaFs1r : public InstrumentProfile {
public:
    explicit YamahaFs1r(const ProfileSettings& settings) : InstrumentProfile(settings) {}

    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x43}) || message.size() < 11 || (message[2] & 0xF0) != 0x00 || message[3] != 0x5E)
            return DumpCheck::NotADump();
        size_t size = 0;
        const std::string slot = SlotAt(message[6], message[7], message[8], &size);
        if (slot.empty()) return DumpCheck::Invalid("no such address");
        if ((size_t{message[4]} << 7 | message[5]) != size) return DumpCheck::Invalid("wrong byte count for " + slot);
        if (message.size() != size + 11) return DumpCheck::Invalid("wrong size for " + slot);
        if (message[size + 9] != TwosComplement7(message, 4, size + 5)) return DumpCheck::Invalid("bad checksum");
        return DumpCheck::Valid(slot, Bytes(message.begin() + 9, message.end() - 2), message[2] & 0x0F);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (message.size() != 8 || message[1] != 0x43 || message[2] != (0x20 | DeviceId()) || message[3] != 0x5E)
            return false;
        size_t size = 0;
        const std::string slot = SlotAt(message[4], message[5], message[6], &size);
        if (slot.empty()) return false;
        Bytes reply{0xF0, 0x43, DeviceId(), 0x5E, static_cast<uint8_t>(size >> 7), static_cast<uint8_t>(size & 0x7F),
                    message[4], message[5], message[6]};
        Append(reply, Slot(slot, size));
        reply.push_back(TwosComplement7(reply, 4, size + 5));
        reply.push_back(0xF7);
        replies.push_back(reply);
        return true;
    }

private:
    static std::string SlotAt(uint8_t high, uint8_t middle, uint8_t low, size_t* size) {
        if (high == 0x11 && middle == 0x00) {
            *size = kPerformance;
            return "performance " + std::to_string(low);
        }
        if (high == 0x51 && middle == 0x00) {
            *size = kVoice;
            return "voice " + std::to_string(low);
        }
        if (high == 0x10 && middle == 0x00 && low == 0x00) {
            *size = kPerformance;
            return "edit performance";
        }
        if (high >= 0x40 && high <= 0x43 && middle == 0x00 && low == 0x00) {
            *size = kVoice;
            return "edit voice " + std::to_string(high - 0x40 + 1);
        }
        return {};
    }
};

}  // namespace

DRUV_PROFILE(YamahaFs1r, "Yamaha", "FS1R")

}  // namespace druv::profiles
