// Novation Bass Station II (firmware 2.5 or later): messages inside
// `F0 00 20 29 00 33 00 … F7`, no device ID, no checksum. Request 40 answers
// the edit buffer `… 00 00 [144] F7`, request `41 pp` program pp (0..127)
// `… 01 pp [144] F7`, both 154 bytes. The unit takes both back; a program
// change loads a program into the edit buffer.
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kDataSize = 144;
constexpr size_t kDumpSize = 7 + 2 + kDataSize + 1;
constexpr int kPrograms = 128;

const Bytes& Wrapper() {
    static const Bytes wrapper{0xF0, 0x00, 0x20, 0x29, 0x00, 0x33, 0x00};
    return wrapper;
}

class NovationBassStation2 : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {false, 0, 0}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, Wrapper()) || message.size() < 9 || message[7] > 0x01) return DumpCheck::NotADump();
        if (message.size() != kDumpSize) return DumpCheck::Invalid("patch dump of wrong size");
        const Bytes data(message.begin() + 9, message.begin() + 9 + static_cast<long>(kDataSize));
        if (message[7] == 0x00) {
            if (message[8] != 0x00) return DumpCheck::Invalid("edit-buffer dump with a program number");
            return DumpCheck::Valid("edit", data, -1);
        }
        if (message[8] >= kPrograms) return DumpCheck::Invalid("no program " + std::to_string(message[8]));
        return DumpCheck::Valid(ProgramSlot(message[8]), data, -1);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (!StartsWith(message, Wrapper()) || message.size() < 9) return false;
        Bytes reply = Wrapper();
        if (message.size() == 9 && message[7] == 0x40) {
            reply.push_back(0x00);
            reply.push_back(0x00);
            Append(reply, Edit());
        } else if (message.size() == 10 && message[7] == 0x41 && message[8] < kPrograms) {
            reply.push_back(0x01);
            reply.push_back(message[8]);
            Append(reply, Program(message[8]));
        } else {
            return false;
        }
        reply.push_back(0xF7);
        replies.push_back(reply);
        return true;
    }

    // On any channel, for the same reason as a librarian sends on the one chosen.
    void HandleChannel(const Bytes& message, std::vector<Bytes>& replies) override {
        (void)replies;
        if ((message[0] & 0xF0) != 0xC0 || message.size() != 2 || message[1] >= kPrograms) return;
        const Bytes program = Program(message[1]);
        MutableMemory()["edit"] = program;
    }

private:
    static std::string ProgramSlot(int number) { return "program " + std::to_string(number); }
    Bytes& Program(int number) { return Slot(ProgramSlot(number), kDataSize); }
    Bytes& Edit() {
        if (!Memory().count("edit")) {
            const Bytes first = Program(0);
            MutableMemory()["edit"] = first;
        }
        return MutableMemory()["edit"];
    }
};

}  // namespace

DRUV_PROFILE(NovationBassStation2, "Novation", "Bass Station II")

}  // namespace druv::profiles
