// Akai AX80 with the Tauntek firmware (the original firmware has no SysX):
// no request and no device ID; the panel dump sends the 64 programs of the
// RAM bank, each as `F0 47 7E pp [45] F7` (50 bytes, pp 0..63), without
// checksum or terminator. A program sent back is stored at its number.
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kDataSize = 45;
constexpr size_t kMessageSize = 4 + kDataSize + 1;
constexpr uint8_t kPrograms = 64;

class AkaiAx80 : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {false, 0, 0}; }
    std::vector<std::string> PanelActions() const override { return {"all programs"}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x47, 0x7E}) || message.size() < 5) return DumpCheck::NotADump();
        if (message.size() != kMessageSize) return DumpCheck::Invalid("program of wrong size");
        if (message[3] >= kPrograms) return DumpCheck::Invalid("no program " + std::to_string(message[3]));
        return DumpCheck::Valid(ProgramSlot(message[3]), Bytes(message.begin() + 4, message.end() - 1), -1);
    }

    bool HandleRequest(const Bytes&, std::vector<Bytes>&) override { return false; }

    bool PanelDump(const std::string& action, std::vector<Bytes>& messages) override {
        if (action != "all programs") return false;
        for (uint8_t number = 0; number < kPrograms; ++number) {
            Bytes message{0xF0, 0x47, 0x7E, number};
            Append(message, Slot(ProgramSlot(number), kDataSize));
            message.push_back(0xF7);
            messages.push_back(message);
        }
        return true;
    }

private:
    static std::string ProgramSlot(int number) { return "program " + std::to_string(number); }
};

}  // namespace

DRUV_PROFILE(AkaiAx80, "Akai", "AX80")

}  // namespace druv::profiles
