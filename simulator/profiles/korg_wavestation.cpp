// Korg Wavestation (model 28): data as nibbles, checksum the sum of the
// nibble bytes (masked to 7 bits) from the first data byte, before F7.
//   patch           10 bb pp -> `40 bb pp [852] cs`    861 bytes
//   performance     19 bb pp -> `49 bb pp [1076] cs`  1085
//   patch bank      1C bb    -> `4C bb [35 x 852] cs` 29828
//   performance bank 1D bb   -> `4D bb [50 x 362] cs` 18108
//   wave sequences  0C bb    -> `54 bb [17568] cs`    17576
//   system setup    0E       -> `51 [68] cs`          75 (the reply's
//                               function code is not documented; 51 as
//                               on other Korg units)
// Requests are `F0 42 3n 28 ...`. A bank's 35 patches are the same memory
// as the single patches; the single performances (which carry more than a
// bank entry) are kept apart from the performance banks. The multi setup,
// performance map and micro-tuning dumps are left out (reply codes unknown).
#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/korg_family.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr uint8_t kModel = 0x28;
constexpr size_t kPatch = 852;
constexpr size_t kPatches = 35;
constexpr size_t kPerformance = 1076;
constexpr size_t kPerformanceBank = 50 * 362;
constexpr size_t kWaveSequences = 17568;
constexpr size_t kSystem = 68;
constexpr uint8_t kBanks = 4;

class KorgWavestation : public InstrumentProfile {
public:
    explicit KorgWavestation(const ProfileSettings& settings) : InstrumentProfile(settings) {}

    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

    std::optional<Bytes> Contents(const std::string& slot) const override {
        if (slot.rfind("patch bank ", 0) != 0) return InstrumentProfile::Contents(slot);
        const int bank = std::stoi(slot.substr(11));
        Bytes all;
        for (size_t p = 0; p < kPatches; ++p) Append(all, PatchBytes(bank, static_cast<int>(p)));
        return all;
    }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!IsKorgMessage(message, kModel, -1)) return DumpCheck::NotADump();
        const uint8_t func = message[4];
        std::string slot;
        size_t header = 0, data = 0;
        if (func == 0x40 || func == 0x49) {
            if (message.size() < 8 || message[5] >= kBanks) return DumpCheck::Invalid("no such bank");
            const bool patch = func == 0x40;
            if (message[6] >= (patch ? kPatches : 50)) return DumpCheck::Invalid("no such patch or performance");
            slot = std::string(patch ? "patch " : "performance ") + std::to_string(message[5]) + " " + std::to_string(message[6]);
            header = 7;
            data = patch ? kPatch : kPerformance;
        } else if (func == 0x4C || func == 0x4D || func == 0x54) {
            if (message.size() < 7 || message[5] >= kBanks) return DumpCheck::Invalid("no such bank");
            slot = std::string(func == 0x4C ? "patch bank " : func == 0x4D ? "performance bank " : "wave sequences ") +
                   std::to_string(message[5]);
            header = 6;
            data = func == 0x4C ? kPatch * kPatches : func == 0x4D ? kPerformanceBank : kWaveSequences;
        } else if (func == 0x51) {
            slot = "system";
            header = 5;
            data = kSystem;
        } else {
            return DumpCheck::NotADump();
        }
        if (message.size() != header + data + 2) return DumpCheck::Invalid("wrong size for " + slot);
        const Bytes body(message.begin() + static_cast<long>(header), message.end() - 2);
        if (!AllNibbles(body)) return DumpCheck::Invalid("data byte above 0F");
        if (message[message.size() - 2] != Sum7(message, header, data)) return DumpCheck::Invalid("bad checksum");
        return DumpCheck::Valid(slot, body, message[2] & 0x0F);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (!IsKorgMessage(message, kModel, DeviceId())) return false;
        const uint8_t func = message[4];
        Bytes body;
        size_t header = 0;  // where the data begins in the reply
        if ((func == 0x10 || func == 0x19) && message.size() == 8 && message[5] < kBanks) {
            const bool patch = func == 0x10;
            if (message[6] >= (patch ? kPatches : 50)) return false;
            body = {static_cast<uint8_t>(patch ? 0x40 : 0x49), message[5], message[6]};
            header = 7;
            Append(body, patch ? PatchBytes(message[5], message[6])
                               : Slot("performance " + std::to_string(message[5]) + " " + std::to_string(message[6]),
                                      kPerformance, 0x0F));
        } else if ((func == 0x1C || func == 0x1D || func == 0x0C) && message.size() == 7 && message[5] < kBanks) {
            const int bank = message[5];
            header = 6;
            if (func == 0x1C) {
                body = {0x4C, message[5]};
                Append(body, *Contents("patch bank " + std::to_string(bank)));
            } else if (func == 0x1D) {
                body = {0x4D, message[5]};
                Append(body, Slot("performance bank " + std::to_string(bank), kPerformanceBank, 0x0F));
            } else {
                body = {0x54, message[5]};
                Append(body, Slot("wave sequences " + std::to_string(bank), kWaveSequences, 0x0F));
            }
        } else if (func == 0x0E && message.size() == 6) {
            body = {0x51};
            header = 5;
            Append(body, Slot("system", kSystem, 0x0F));
        } else {
            return false;
        }
        Bytes reply = KorgMessage(DeviceId(), kModel, body);
        reply.insert(reply.end() - 1, Sum7(reply, header, reply.size() - 1 - header));
        replies.push_back(reply);
        return true;
    }

    void Store(const DumpCheck& dump) override {
        if (dump.slot.rfind("patch bank ", 0) != 0) {
            InstrumentProfile::Store(dump);
            return;
        }
        const int bank = std::stoi(dump.slot.substr(11));
        for (size_t p = 0; p < kPatches; ++p)
            MutableMemory()[PatchName(bank, static_cast<int>(p))] =
                Bytes(dump.data.begin() + static_cast<long>(p * kPatch), dump.data.begin() + static_cast<long>((p + 1) * kPatch));
    }

private:
    static std::string PatchName(int bank, int patch) { return "patch " + std::to_string(bank) + " " + std::to_string(patch); }
    Bytes PatchBytes(int bank, int patch) const {
        auto found = Memory().find(PatchName(bank, patch));
        if (found != Memory().end()) return found->second;
        return SeededBytes(Seed(), PatchName(bank, patch), kPatch, 0x0F);
    }
};

}  // namespace

DRUV_PROFILE(KorgWavestation, "Korg", "Wavestation")

}  // namespace druv::profiles
