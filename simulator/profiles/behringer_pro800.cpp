// Behringer Pro-800: messages inside `F0 00 20 32 00 01 24 00 … F7`, no
// device ID, no checksum. Request `77 LL HH` asks for program LL + 128 HH
// (0..399: four banks of 100) and is answered by `78 LL HH [198 packed
// bytes]` (210 bytes), which the unit also takes back.
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kDataSize = 198;
constexpr size_t kPrefix = 8;
constexpr size_t kDumpSize = kPrefix + 3 + kDataSize + 1;
constexpr int kPrograms = 400;

const Bytes& Prefix() {
    static const Bytes prefix{0xF0, 0x00, 0x20, 0x32, 0x00, 0x01, 0x24, 0x00};
    return prefix;
}

int ProgramNumber(const Bytes& message) { return message[kPrefix + 1] | (message[kPrefix + 2] << 7); }

class BehringerPro800 : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {false, 0, 0}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, Prefix()) || message.size() <= kPrefix || message[kPrefix] != 0x78)
            return DumpCheck::NotADump();
        if (message.size() != kDumpSize) return DumpCheck::Invalid("program dump of wrong size");
        const int number = ProgramNumber(message);
        if (number >= kPrograms) return DumpCheck::Invalid("no program " + std::to_string(number));
        return DumpCheck::Valid(ProgramSlot(number), Bytes(message.begin() + kPrefix + 3, message.end() - 1), -1);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (!StartsWith(message, Prefix()) || message.size() != kPrefix + 4 || message[kPrefix] != 0x77) return false;
        const int number = ProgramNumber(message);
        if (number >= kPrograms) return false;
        Bytes reply = Prefix();
        Append(reply, {0x78, message[kPrefix + 1], message[kPrefix + 2]});
        Append(reply, Slot(ProgramSlot(number), kDataSize));
        reply.push_back(0xF7);
        replies.push_back(reply);
        return true;
    }

private:
    static std::string ProgramSlot(int number) { return "program " + std::to_string(number); }
};

}  // namespace

DRUV_PROFILE(BehringerPro800, "Behringer", "Pro-800")

}  // namespace druv::profiles
