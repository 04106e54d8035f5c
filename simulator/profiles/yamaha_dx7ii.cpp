// Yamaha DX7II: two 32-voice banks (I and II) with their additional voice
// data, the performance memory and the system setup.
//   voices  `F0 43 0n 09 20 00 [4096] cs F7`            4104, request `F0 43 2n 09 F7`
//   AMEM    `F0 43 0n 06 08 60 [1120] cs F7`            1128, request `F0 43 2n 06 F7`
//   PMEM    `F0 43 0n 7E 0C 6A "LM  8973PM" [1632] cs F7` 1650, request `F0 43 2n 7E "LM  8973PM" F7`
//   system  `F0 43 0n 7E 00 5F "LM  8973S " [85] cs F7`   103, request `F0 43 2n 7E "LM  8973S " F7`
// Checksums: two's complement of the bytes from offset 6. Which voice bank
// the voice and AMEM requests (and incoming dumps) address is chosen by the
// parameter change `F0 43 1n 19 4D 00|01 F7`; the unit starts on bank I.
#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

struct Kind {
    const char* slot;     // "voices" and "amem" get the bank's numeral
    uint8_t format;       // byte 3
    uint8_t countHigh;    // bytes 4, 5: the byte count from offset 6
    uint8_t countLow;
    const char* name;     // the identifier at offset 6, or null
    size_t data;          // data bytes after the identifier
};

const Kind kKinds[] = {
    {"voices", 0x09, 0x20, 0x00, nullptr, 4096},
    {"amem", 0x06, 0x08, 0x60, nullptr, 1120},
    {"performances", 0x7E, 0x0C, 0x6A, "LM  8973PM", 1632},
    {"system", 0x7E, 0x00, 0x5F, "LM  8973S ", 85},
};

class YamahaDx7ii : public InstrumentProfile {
public:
    explicit YamahaDx7ii(const ProfileSettings& settings) : InstrumentProfile(settings) {}

    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x43}) || message.size() < 8 || (message[2] & 0xF0) != 0x00)
            return DumpCheck::NotADump();
        for (const Kind& kind : kKinds) {
            if (message[3] != kind.format || message[4] != kind.countHigh || message[5] != kind.countLow) continue;
            const size_t nameSize = kind.name ? 10 : 0;
            if (kind.name && !StartsWith(Bytes(message.begin() + 6, message.end()), Ascii(kind.name))) continue;
            const size_t counted = nameSize + kind.data;
            if (message.size() != counted + 8) return DumpCheck::Invalid(std::string("wrong size for ") + kind.slot);
            if (message[6 + counted] != TwosComplement7(message, 6, counted)) return DumpCheck::Invalid("bad checksum");
            return DumpCheck::Valid(SlotName(kind), Bytes(message.begin() + 6 + static_cast<long>(nameSize), message.end() - 2),
                                    message[2] & 0x0F);
        }
        return DumpCheck::NotADump();
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        const uint8_t n = DeviceId();
        if (message.size() == 7 && message[1] == 0x43 && message[2] == (0x10 | n) && message[3] == 0x19 &&
            message[4] == 0x4D && message[5] <= 1) {
            bank_ = message[5];
            return true;  // a parameter change: nothing to send
        }
        if (message.size() < 5 || message[1] != 0x43 || message[2] != (0x20 | n)) return false;
        for (const Kind& kind : kKinds) {
            Bytes request{0xF0, 0x43, static_cast<uint8_t>(0x20 | n), kind.format};
            if (kind.name) Append(request, Ascii(kind.name));
            request.push_back(0xF7);
            if (message != request) continue;
            Bytes reply{0xF0, 0x43, n, kind.format, kind.countHigh, kind.countLow};
            if (kind.name) Append(reply, Ascii(kind.name));
            Append(reply, Slot(SlotName(kind), kind.data));
            reply.push_back(TwosComplement7(reply, 6, reply.size() - 6));
            reply.push_back(0xF7);
            replies.push_back(reply);
            return true;
        }
        return false;
    }

private:
    std::string SlotName(const Kind& kind) const {
        const std::string slot = kind.slot;
        if (slot == "voices" || slot == "amem") return slot + (bank_ == 0 ? " I" : " II");
        return slot;
    }

    uint8_t bank_ = 0;
};

}  // namespace

DRUV_PROFILE(YamahaDx7ii, "Yamaha", "DX7II")

}  // namespace druv::profiles
