// Korg minilogue xd (model 00 01 51): the edit buffer `F0 42 3n 00 01 51
// 10 F7` is answered by `F0 42 3n 00 01 51 40 [1171] F7` (1179 bytes);
// program LL HH (14 bits, low byte first, 0..499) `... 51 1C LL HH F7` by
// `... 51 4C LL HH [1171] F7` (1181): 1024 bytes packed 7 to 8, no
// checksum. Both dumps are taken back; the unit acknowledges each with
// `... 51 23 F7` (data load completed) and answers a damaged one on its
// channel with `... 51 24 F7` (data load error).
#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/korg_family.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

const Bytes kModel{0x00, 0x01, 0x51};
constexpr size_t kFunction = 6;
constexpr size_t kPacked = 1171;
constexpr int kPrograms = 500;
constexpr uint8_t kEditDump = 0x40, kProgramDump = 0x4C;
constexpr uint8_t kEditRequest = 0x10, kProgramRequest = 0x1C;
constexpr uint8_t kLoadCompleted = 0x23, kLoadError = 0x24;

std::string ProgramSlot(int number) { return "program " + std::to_string(number); }

class KorgMinilogueXd : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!IsKorgMessage(message, kModel, -1)) return DumpCheck::NotADump();
        const int channel = message[2] & 0x0F;
        if (message[kFunction] == kEditDump) {
            if (message.size() != kFunction + 1 + kPacked + 1)
                return DumpCheck::Invalid("edit-buffer dump of wrong size");
            return DumpCheck::Valid("edit", Bytes(message.begin() + kFunction + 1, message.end() - 1), channel);
        }
        if (message[kFunction] == kProgramDump) {
            if (message.size() != kFunction + 3 + kPacked + 1) return DumpCheck::Invalid("program dump of wrong size");
            const int number = message[kFunction + 1] | message[kFunction + 2] << 7;
            if (number >= kPrograms) return DumpCheck::Invalid("no program " + std::to_string(number));
            return DumpCheck::Valid(ProgramSlot(number), Bytes(message.begin() + kFunction + 3, message.end() - 1),
                                    channel);
        }
        return DumpCheck::NotADump();
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (!IsKorgMessage(message, kModel, DeviceId())) return false;
        if (message.size() == kFunction + 2 && message[kFunction] == kEditRequest) {
            Bytes body{kEditDump};
            Append(body, Edit());
            replies.push_back(KorgMessage(DeviceId(), kModel, body));
            return true;
        }
        if (message.size() == kFunction + 4 && message[kFunction] == kProgramRequest) {
            const int number = message[kFunction + 1] | message[kFunction + 2] << 7;
            if (number >= kPrograms) return false;
            Bytes body{kProgramDump, message[kFunction + 1], message[kFunction + 2]};
            Append(body, Slot(ProgramSlot(number), kPacked));
            replies.push_back(KorgMessage(DeviceId(), kModel, body));
            return true;
        }
        return false;
    }

    void AnswerDump(const Bytes& message, const DumpCheck& check, std::vector<Bytes>& replies) override {
        if ((message[2] & 0x0F) != DeviceId()) return;
        const uint8_t function = check.kind == DumpCheck::Kind::Valid ? kLoadCompleted : kLoadError;
        replies.push_back(KorgMessage(DeviceId(), kModel, {function}));
    }

private:
    // After power-on the edit buffer holds program 1.
    Bytes& Edit() {
        if (!Memory().count("edit")) MutableMemory()["edit"] = Slot(ProgramSlot(0), kPacked);
        return MutableMemory()["edit"];
    }
};

}  // namespace

DRUV_PROFILE(KorgMinilogueXd, "Korg", "minilogue xd")

}  // namespace druv::profiles
