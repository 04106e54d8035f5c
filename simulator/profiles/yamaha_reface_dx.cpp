// Yamaha reface DX: `F0 43 2n 7F 1C 05 0E 0F 00 F7` asks for the current
// voice, which comes back as seven messages
//   `F0 43 0n 7F 1C sh sl 05 a a a [data] cs F7`
// (sh sl the count of the bytes from 05 up to the checksum, cs their two's
// complement): the bulk header 0E 0F 00 (13 bytes), the common block
// 30 00 00 (38 data bytes, 51), the operators 31 0k 00 (28 data bytes, 41
// each), the bulk footer 0F 0F 00 (13); 241 bytes. Only the current voice
// answers requests; a program change Cn pp loads voice pp (0..31) into it.
// The same messages sent back load the current voice.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kCommon = 38;
constexpr size_t kOperator = 28;
constexpr int kOperators = 4;
constexpr int kVoices = 32;
constexpr size_t kChecked = 7;
const char* const kHeaderSlot = "edit header";
const char* const kFooterSlot = "edit footer";

struct Block {
    std::string slot;
    size_t data;
};

// The block at address a1 a2 a3, or none.
std::optional<Block> BlockAt(uint8_t a1, uint8_t a2, uint8_t a3) {
    if (a1 == 0x0E && a2 == 0x0F && a3 == 0x00) return Block{kHeaderSlot, 0};
    if (a1 == 0x0F && a2 == 0x0F && a3 == 0x00) return Block{kFooterSlot, 0};
    if (a1 == 0x30 && a2 == 0x00 && a3 == 0x00) return Block{"edit common", kCommon};
    if (a1 == 0x31 && a2 < kOperators && a3 == 0x00) return Block{"edit operator " + std::to_string(a2 + 1), kOperator};
    return std::nullopt;
}

class YamahaRefaceDx : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

    // The header and footer carry no data of their own.
    std::optional<Bytes> Contents(const std::string& slot) const override {
        if (slot == kHeaderSlot || slot == kFooterSlot) return Bytes{};
        return InstrumentProfile::Contents(slot);
    }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x43}) || message.size() < 13 || (message[2] & 0xF0) != 0x00 ||
            message[3] != 0x7F || message[4] != 0x1C || message[7] != 0x05)
            return DumpCheck::NotADump();
        const std::optional<Block> block = BlockAt(message[8], message[9], message[10]);
        if (!block) return DumpCheck::NotADump();
        if (message.size() != 13 + block->data) return DumpCheck::Invalid(block->slot + " of wrong size");
        if ((size_t{message[5]} << 7 | message[6]) != 4 + block->data) return DumpCheck::Invalid("wrong byte count");
        if (message[message.size() - 2] != TwosComplement7(message, kChecked, message.size() - 2 - kChecked))
            return DumpCheck::Invalid("bad checksum");
        return DumpCheck::Valid(block->slot, Bytes(message.begin() + 11, message.end() - 2), message[2]);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        const Bytes request{0xF0, 0x43, static_cast<uint8_t>(0x20 | DeviceId()), 0x7F, 0x1C, 0x05, 0x0E, 0x0F,
                            0x00, 0xF7};
        if (message != request) return false;
        EnsureEdit();
        replies.push_back(Message({0x0E, 0x0F, 0x00}, {}));
        replies.push_back(Message({0x30, 0x00, 0x00}, Memory().at("edit common")));
        for (uint8_t op = 0; op < kOperators; ++op)
            replies.push_back(Message({0x31, op, 0x00}, Memory().at("edit operator " + std::to_string(op + 1))));
        replies.push_back(Message({0x0F, 0x0F, 0x00}, {}));
        return true;
    }

    void HandleChannel(const Bytes& message, std::vector<Bytes>& replies) override {
        (void)replies;
        if (message.size() != 2 || message[0] != (0xC0 | DeviceId()) || message[1] >= kVoices) return;
        Load(message[1]);
    }

private:
    static std::vector<std::pair<std::string, size_t>> EditBlocks() {
        std::vector<std::pair<std::string, size_t>> blocks{{"common", kCommon}};
        for (int op = 1; op <= kOperators; ++op) blocks.emplace_back("operator " + std::to_string(op), kOperator);
        return blocks;
    }

    // Voice `voice` of the memory, from the seed, into the current voice.
    void Load(int voice) {
        for (const auto& [part, size] : EditBlocks())
            MutableMemory()["edit " + part] = SeededBytes(Seed(), "voice " + std::to_string(voice) + " " + part, size);
    }

    // After power-on the current voice is voice 1; parts written since stay.
    void EnsureEdit() {
        for (const auto& [part, size] : EditBlocks())
            if (!Memory().count("edit " + part))
                MutableMemory()["edit " + part] = SeededBytes(Seed(), "voice 0 " + part, size);
    }

    Bytes Message(const Bytes& address, const Bytes& data) const {
        const size_t count = 4 + data.size();
        Bytes message{
            0xF0, 0x43, DeviceId(), 0x7F, 0x1C, static_cast<uint8_t>(count >> 7), static_cast<uint8_t>(count & 0x7F),
            0x05};
        Append(message, address);
        Append(message, data);
        message.push_back(TwosComplement7(message, kChecked, message.size() - kChecked));
        message.push_back(0xF7);
        return message;
    }
};

}  // namespace

DRUV_PROFILE(YamahaRefaceDx, "Yamaha", "reface DX")

}  // namespace druv::profiles
