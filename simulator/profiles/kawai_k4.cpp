// Kawai K4: one single `F0 40 0n 00 00 04 00 pp F7` (pp 0..63, internal)
// is answered by `F0 40 0n 20 00 04 00 pp [130 data + checksum] F7` (140
// bytes); the all-data request `F0 40 0n 02 00 04 00 F7` by
// `F0 40 0n 22 00 04 00 00 [data] F7` (15123 bytes): 64 singles of 131, 64
// multis of 77, the drum set (682) and 32 effects of 35, each single, multi
// and effect ending with its own checksum. Both dumps are taken back
// (memory protect off), each answered by "write complete"
// `F0 40 0n 40 00 04 F7`; a single written alone also changes what the next
// all-data dump holds, and the other way round.
#include "simulator/profiles/kawai_support.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr uint8_t kK4 = 0x04;
constexpr size_t kSingleSize = 131;
constexpr size_t kSingles = 64;
constexpr size_t kMultiSize = 77;
constexpr size_t kMultis = 64;
constexpr size_t kDrumSize = 682;
constexpr size_t kEffectSize = 35;
constexpr size_t kEffects = 32;
constexpr size_t kMultiStart = kSingles * kSingleSize;
constexpr size_t kDrumStart = kMultiStart + kMultis * kMultiSize;
constexpr size_t kEffectStart = kDrumStart + kDrumSize;
constexpr size_t kAllSize = kEffectStart + kEffects * kEffectSize;  // 15114

class KawaiK4 : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        uint8_t channel = 0, function = 0;
        if (!kawai::ParseHeader(message, kK4, channel, function)) return DumpCheck::NotADump();
        if (function == kawai::kOneDataDump) return kawai::CheckSingleDump(message, channel, kSingleSize, kSingles);
        if (function == kawai::kAllDataDump) {
            if (message.size() != 8 + kAllSize + 1) return DumpCheck::Invalid("all-data dump of wrong size");
            if (message[6] != 0x00 || message[7] != 0x00) return DumpCheck::Invalid("no card to write to");
            const Bytes data(message.begin() + 8, message.begin() + 8 + static_cast<long>(kAllSize));
            for (size_t i = 0; i < kSingles; ++i)
                if (!kawai::PatchValid(data, i * kSingleSize, kSingleSize))
                    return DumpCheck::Invalid("bad checksum in single " + std::to_string(i));
            for (size_t i = 0; i < kMultis; ++i)
                if (!kawai::PatchValid(data, kMultiStart + i * kMultiSize, kMultiSize))
                    return DumpCheck::Invalid("bad checksum in multi " + std::to_string(i));
            for (size_t i = 0; i < kEffects; ++i)
                if (!kawai::PatchValid(data, kEffectStart + i * kEffectSize, kEffectSize))
                    return DumpCheck::Invalid("bad checksum in effect " + std::to_string(i));
            return DumpCheck::Valid("all", data, channel);
        }
        return DumpCheck::NotADump();
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        uint8_t channel = 0, function = 0;
        if (!kawai::ParseHeader(message, kK4, channel, function) || channel != DeviceId()) return false;
        if (function == kawai::kOneDataRequest && message.size() == 9 && message[6] == 0x00 && message[7] < kSingles) {
            replies.push_back(kawai::SingleDump(DeviceId(), kK4, message[7], Single(message[7])));
            return true;
        }
        if (function == kawai::kAllDataRequest && message.size() == 8 && message[6] == 0x00) {
            Bytes reply = kawai::Header(DeviceId(), kawai::kAllDataDump, kK4);
            reply.push_back(0x00);
            reply.push_back(0x00);
            Append(reply, All());
            reply.push_back(0xF7);
            replies.push_back(reply);
            return true;
        }
        return false;
    }

    // One memory seen two ways: the singles inside "all" are the "single n" slots.
    void Store(const DumpCheck& dump) override {
        MutableMemory()[dump.slot] = dump.data;
        if (dump.slot == "all") {
            for (size_t i = 0; i < kSingles; ++i)
                MutableMemory()[kawai::SingleSlot(static_cast<int>(i))] =
                    Bytes(dump.data.begin() + static_cast<long>(i * kSingleSize),
                          dump.data.begin() + static_cast<long>((i + 1) * kSingleSize));
        } else if (Memory().count("all")) {
            const size_t number = static_cast<size_t>(std::stoi(dump.slot.substr(7)));
            Bytes& all = MutableMemory()["all"];
            for (size_t i = 0; i < kSingleSize; ++i) all[number * kSingleSize + i] = dump.data[i];
        }
    }

    void AnswerDump(const Bytes&, const DumpCheck& check, std::vector<Bytes>& replies) override {
        if (check.kind == DumpCheck::Kind::Valid) replies.push_back(kawai::WriteComplete(DeviceId(), kK4));
    }

private:
    Bytes& Single(int number) {
        const std::string slot = kawai::SingleSlot(number);
        if (!Memory().count(slot)) {
            if (Memory().count("all")) {
                const Bytes& all = Memory().at("all");
                MutableMemory()[slot] = Bytes(all.begin() + static_cast<long>(number * kSingleSize),
                                              all.begin() + static_cast<long>((number + 1) * kSingleSize));
            } else {
                MutableMemory()[slot] = kawai::SeededPatch(Seed(), slot, kSingleSize);
            }
        }
        return MutableMemory()[slot];
    }

    Bytes& All() {
        if (!Memory().count("all")) {
            Bytes all;
            all.reserve(kAllSize);
            for (size_t i = 0; i < kSingles; ++i) Append(all, Single(static_cast<int>(i)));
            for (size_t i = 0; i < kMultis; ++i)
                Append(all, kawai::SeededPatch(Seed(), "multi " + std::to_string(i), kMultiSize));
            Append(all, SeededBytes(Seed(), "drums", kDrumSize));
            for (size_t i = 0; i < kEffects; ++i)
                Append(all, kawai::SeededPatch(Seed(), "effect " + std::to_string(i), kEffectSize));
            MutableMemory()["all"] = all;
        }
        return MutableMemory()["all"];
    }
};

}  // namespace

DRUV_PROFILE(KawaiK4, "Kawai", "K4")

}  // namespace druv::profiles
