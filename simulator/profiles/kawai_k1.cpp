// Kawai K1: one single `F0 40 0n 00 00 03 bb pp F7` (bb 00 internal, pp
// 0..63) is answered by `F0 40 0n 20 00 03 bb pp [87 data + checksum] F7`
// (97 bytes). The same dump sent to the unit (memory protect off) writes
// single pp, and the unit answers "write complete" `F0 40 0n 40 00 03 F7`.
// Only the internal memory is modelled (no card inserted); the
// 32-single block dump is left out, its format has not been confirmed on a
// unit.
#include "simulator/profiles/kawai_support.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr uint8_t kK1 = 0x03;
constexpr size_t kSingleSize = 88;  // 87 bytes and the checksum
constexpr size_t kSingleCount = 64;

class KawaiK1 : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        uint8_t channel = 0, function = 0;
        if (!kawai::ParseHeader(message, kK1, channel, function) || function != kawai::kOneDataDump)
            return DumpCheck::NotADump();
        return kawai::CheckSingleDump(message, channel, kSingleSize, kSingleCount);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        uint8_t channel = 0, function = 0;
        if (!kawai::ParseHeader(message, kK1, channel, function) || channel != DeviceId()) return false;
        if (function != kawai::kOneDataRequest || message.size() != 9 || message[6] != 0x00 ||
            message[7] >= kSingleCount)
            return false;
        replies.push_back(kawai::SingleDump(DeviceId(), kK1, message[7], Single(message[7])));
        return true;
    }

    void AnswerDump(const Bytes&, const DumpCheck& check, std::vector<Bytes>& replies) override {
        if (check.kind == DumpCheck::Kind::Valid) replies.push_back(kawai::WriteComplete(DeviceId(), kK1));
    }

private:
    Bytes& Single(int number) {
        const std::string slot = kawai::SingleSlot(number);
        if (!Memory().count(slot)) MutableMemory()[slot] = kawai::SeededPatch(Seed(), slot, kSingleSize);
        return MutableMemory()[slot];
    }
};

}  // namespace

DRUV_PROFILE(KawaiK1, "Kawai", "K1")

}  // namespace druv::profiles
