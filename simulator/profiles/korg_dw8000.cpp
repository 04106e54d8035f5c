// Korg DW-8000 (model 03): only the current program can be read, request
// `F0 42 3n 03 10 F7`, reply `F0 42 3n 03 40 [51] F7` (57 bytes); a
// program change `Cn pp` (pp 0..63) loads program pp first. A dump sent
// to the unit loads the edit buffer; `F0 42 3n 03 11 pp F7` writes the edit
// buffer into program pp.
#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/korg_family.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr uint8_t kModel = 0x03;
constexpr size_t kProgram = 51;

class KorgDw8000 : public InstrumentProfile {
public:
    explicit KorgDw8000(const ProfileSettings& settings) : InstrumentProfile(settings) {}

    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!IsKorgMessage(message, kModel, -1) || message[4] != 0x40) return DumpCheck::NotADump();
        if (message.size() != kProgram + 6) return DumpCheck::Invalid("wrong size for a program");
        return DumpCheck::Valid("edit", Bytes(message.begin() + 5, message.end() - 1), message[2] & 0x0F);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (!IsKorgMessage(message, kModel, DeviceId())) return false;
        if (message.size() == 6 && message[4] == 0x10) {
            Bytes body{0x40};
            Append(body, Edit());
            replies.push_back(KorgMessage(DeviceId(), kModel, body));
            if (loaded_ >= 0) NoteSent(ProgramName(loaded_));
            return true;
        }
        if (message.size() == 7 && message[4] == 0x11 && message[5] < 64) {
            MutableMemory()[ProgramName(message[5])] = Edit();
            return true;
        }
        return false;
    }

    void HandleChannel(const Bytes& message, std::vector<Bytes>&) override {
        if (message.size() != 2 || message[0] != (0xC0 | DeviceId()) || message[1] >= 64) return;
        MutableMemory()["edit"] = Program(message[1]);
        loaded_ = message[1];
    }

    void Store(const DumpCheck& dump) override {
        InstrumentProfile::Store(dump);
        loaded_ = -1;  // the edit buffer no longer holds a stored program
    }

private:
    static std::string ProgramName(int number) { return "program " + std::to_string(number); }
    Bytes Program(int number) { return Slot(ProgramName(number), kProgram); }
    Bytes& Edit() {
        // At power-on the edit buffer holds program 0, though no one asked
        // for it by number.
        if (!Memory().count("edit")) MutableMemory()["edit"] = Program(0);
        return MutableMemory()["edit"];
    }

    int loaded_ = -1;
};

}  // namespace

DRUV_PROFILE(KorgDw8000, "Korg", "DW-8000")

}  // namespace druv::profiles
