// John Bowen Solaris: one request, `F0 00 12 34 7F 10 10 7E 7F 7F F7`, for
// the edit buffer (there is no request for a stored preset). The answer is a
// stream of `F0 00 12 34 7F 10 11 a1 a2 a3 [data] cs F7` messages, cs the
// two's complement of the address and data (from offset 7): a frame-start
// message (address 7E 7F 7F, no data), 168 blocks of the edit buffer and a
// frame-end message (7F 7F 7F): 170 messages, 14409 bytes. Only the blocks'
// number and total size (12369 data bytes) are known, not their addresses
// or sizes one by one; here block n is at address n (00 hi lo) and the data
// is shared out evenly. The device byte is 7F, the one value known. A unit
// takes every message of the stream back, each block into its part of the
// edit buffer.
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kBlocks = 168;
constexpr size_t kDataTotal = 12369;
constexpr size_t kHeader = 10;  // F0 00 12 34 7F 10 11 a1 a2 a3
constexpr uint8_t kAllUnits = 0x7F;
constexpr uint32_t kFrameStart = (0x7Eu << 14) | (0x7Fu << 7) | 0x7Fu;
constexpr uint32_t kFrameEnd = (0x7Fu << 14) | (0x7Fu << 7) | 0x7Fu;

size_t BlockSize(size_t block) { return kDataTotal / kBlocks + (block < kDataTotal % kBlocks ? 1 : 0); }
std::string BlockSlot(size_t block) { return "edit block " + std::to_string(block); }

class JohnBowenSolaris : public InstrumentProfile {
public:
    explicit JohnBowenSolaris(const ProfileSettings& settings) : InstrumentProfile(settings) {
        MutableMemory()["frame start"] = {};
        MutableMemory()["frame end"] = {};
    }
    DeviceIdRule IdRule() const override { return {false, 0, 0}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x00, 0x12, 0x34}) || message.size() < 7 || message[5] != 0x10 ||
            message[6] != 0x11)
            return DumpCheck::NotADump();
        if (message.size() < kHeader + 2) return DumpCheck::Invalid("message too short for an address");
        if (message[4] != kAllUnits) return DumpCheck::Invalid("device byte " + HexName({message[4]}));
        const uint32_t address = RolandAddress(message, 7, 3);
        std::string slot;
        size_t size = 0;
        if (address == kFrameStart || address == kFrameEnd) {
            slot = address == kFrameStart ? "frame start" : "frame end";
        } else if (address < kBlocks) {
            slot = BlockSlot(address);
            size = BlockSize(address);
        } else {
            return DumpCheck::Invalid("no block at " + HexName({message[7], message[8], message[9]}));
        }
        if (message.size() != kHeader + size + 2) return DumpCheck::Invalid(slot + " of wrong size");
        const size_t checksum = message.size() - 2;
        if (message[checksum] != TwosComplement7(message, 7, checksum - 7)) return DumpCheck::Invalid("bad checksum");
        return DumpCheck::Valid(slot, Bytes(message.begin() + kHeader, message.end() - 2), -1);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (message != Bytes{0xF0, 0x00, 0x12, 0x34, 0x7F, 0x10, 0x10, 0x7E, 0x7F, 0x7F, 0xF7}) return false;
        replies.push_back(Block(kFrameStart, {}));
        for (size_t block = 0; block < kBlocks; ++block)
            replies.push_back(Block(static_cast<uint32_t>(block), Slot(BlockSlot(block), BlockSize(block))));
        replies.push_back(Block(kFrameEnd, {}));
        return true;
    }

private:
    static Bytes Block(uint32_t address, const Bytes& data) {
        Bytes message{0xF0, 0x00, 0x12, 0x34, kAllUnits, 0x10, 0x11};
        Append(message, RolandAddressBytes(address, 3));
        Append(message, data);
        message.push_back(TwosComplement7(message, 7, message.size() - 7));
        message.push_back(0xF7);
        return message;
    }
};

}  // namespace

DRUV_PROFILE(JohnBowenSolaris, "John Bowen", "Solaris")

}  // namespace druv::profiles
