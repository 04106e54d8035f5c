// Novation Super Bass Station: no request and no device ID. The musician
// sends the current program from the panel (SELECT/MODE until SAVE lights,
// "SS", then +/SAVE) as one message `F0 00 20 29 01 04 22 [108] F7` (116
// bytes) without checksum. A program sent back becomes the current one.
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kHeader = 7;
constexpr size_t kDataSize = 108;
constexpr size_t kMessageSize = kHeader + kDataSize + 1;

class NovationSuperBassStation : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {false, 0, 0}; }
    std::vector<std::string> PanelActions() const override { return {"current program"}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x00, 0x20, 0x29, 0x01, 0x04, 0x22})) return DumpCheck::NotADump();
        if (message.size() != kMessageSize) return DumpCheck::Invalid("program of wrong size");
        return DumpCheck::Valid("current program", Bytes(message.begin() + kHeader, message.end() - 1), -1);
    }

    bool HandleRequest(const Bytes&, std::vector<Bytes>&) override { return false; }

    bool PanelDump(const std::string& action, std::vector<Bytes>& messages) override {
        if (action != "current program") return false;
        Bytes message{0xF0, 0x00, 0x20, 0x29, 0x01, 0x04, 0x22};
        Append(message, Slot("current program", kDataSize));
        message.push_back(0xF7);
        messages.push_back(message);
        return true;
    }
};

}  // namespace

DRUV_PROFILE(NovationSuperBassStation, "Novation", "Super Bass Station")

}  // namespace druv::profiles
