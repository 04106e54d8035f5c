// Kawai K5000 (W, S and R alike; machine 0A): a single `F0 40 0n 00 00 0A
// 00 bb pp F7` and a bank `F0 40 0n 01 00 0A 00 bb 00 F7` are each answered
// by one message whose length depends on the sounds it holds (how many
// sources of which kind): 1070 to 2940 bytes for a single, 90800 to 108768
// for a bank, `F0 40 0n 20|21 00 0A 00 bb pp|00 [data] F7` (the one-dump
// and block-dump functions of Kawai's other units). Each unit here holds
// its own length per single and per bank within those ranges. The
// checksums sit inside the data, section by section, in a layout not
// modelled, so a dump sent back is taken when its header and length are
// right. No bank numbers are published; only bank 00 is answered. The
// bank dump and the singles are kept apart (how a bank packs its singles
// is not known).
#include <string>

#include "simulator/profiles/kawai_support.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr uint8_t kK5000 = 0x0A;
constexpr uint8_t kBlockRequest = 0x01;
constexpr uint8_t kBlockDump = 0x21;
constexpr uint8_t kBank = 0x00;
constexpr size_t kHeader = 9;  // F0 40 0n ff 00 0A 00 bb pp
constexpr size_t kSingleMin = 1070, kSingleMax = 2940;
constexpr size_t kBankMin = 90800, kBankMax = 108768;

class KawaiK5000 : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        uint8_t channel = 0, function = 0;
        if (!kawai::ParseHeader(message, kK5000, channel, function)) return DumpCheck::NotADump();
        if (function != kawai::kOneDataDump && function != kBlockDump) return DumpCheck::NotADump();
        const bool single = function == kawai::kOneDataDump;
        const size_t low = single ? kSingleMin : kBankMin, high = single ? kSingleMax : kBankMax;
        if (message.size() < low || message.size() > high)
            return DumpCheck::Invalid(std::string(single ? "single" : "bank") + " dump of " +
                                      std::to_string(message.size()) + " bytes");
        if (message[6] != 0x00 || message[7] != kBank) return DumpCheck::Invalid("no such bank");
        if (!single && message[8] != 0x00) return DumpCheck::Invalid("bank dump with a program number");
        return DumpCheck::Valid(single ? SingleSlot(message[8]) : std::string("bank"),
                                Bytes(message.begin() + kHeader, message.end() - 1), channel);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        uint8_t channel = 0, function = 0;
        if (!kawai::ParseHeader(message, kK5000, channel, function) || channel != DeviceId()) return false;
        if (message.size() != kHeader + 1 || message[6] != 0x00 || message[7] != kBank) return false;
        if (function == kawai::kOneDataRequest) {
            replies.push_back(
                Dump(kawai::kOneDataDump, message[8], Data(SingleSlot(message[8]), kSingleMin, kSingleMax)));
            return true;
        }
        if (function == kBlockRequest && message[8] == 0x00) {
            replies.push_back(Dump(kBlockDump, 0x00, Data("bank", kBankMin, kBankMax)));
            return true;
        }
        return false;
    }

private:
    static std::string SingleSlot(int number) { return "single " + std::to_string(number); }

    // A slot's data, first made from the seed with a message length within
    // [low, high].
    const Bytes& Data(const std::string& slot, size_t low, size_t high) {
        if (!Memory().count(slot)) {
            const Bytes pick = SeededBytes(Seed(), slot + " length", 3);
            const size_t span = high - low + 1;
            const size_t length = low + ((size_t{pick[0]} << 14) | (size_t{pick[1]} << 7) | pick[2]) % span;
            MutableMemory()[slot] = SeededBytes(Seed(), slot, length - kHeader - 1);
        }
        return Memory().at(slot);
    }

    Bytes Dump(uint8_t function, uint8_t number, const Bytes& data) const {
        Bytes message = kawai::Header(DeviceId(), function, kK5000);
        message.push_back(0x00);
        message.push_back(kBank);
        message.push_back(number);
        Append(message, data);
        message.push_back(0xF7);
        return message;
    }
};

}  // namespace

DRUV_PROFILE(KawaiK5000, "Kawai", "K5000")

}  // namespace druv::profiles
