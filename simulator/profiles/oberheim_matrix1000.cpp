// Oberheim Matrix-1000: no device ID. `F0 10 06 0A bb F7` selects bank bb
// (0..9) for the requests and writes that follow; `F0 10 06 04 tt nn F7`
// asks for patch nn (0..99) of that bank (tt 1), the edit buffer (tt 4),
// the master parameters (tt 3) or everything (tt 0: the bank's 100 patches,
// 80 splits and the master parameters, 181 messages).
//   patch  `F0 10 06 01 nn [268 nibbles, low first] cs F7`  (275 bytes)
//   split  `F0 10 06 02 nn [36 nibbles] cs F7`               (43 bytes)
//   master `F0 10 06 03 vv [344 nibbles] cs F7`              (351 bytes)
// cs is the 7-bit sum of the bytes the nibbles make, not of the nibbles sent.
// The edit buffer holds the patch last selected by a program change, and
// goes out as that patch. A patch dump sent to the unit writes patch nn of
// the current bank; it carries no bank number of its own.
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kPatchNibbles = 268;
constexpr size_t kSplitNibbles = 36;
constexpr size_t kMasterNibbles = 344;
constexpr int kBanks = 10;
constexpr int kPatches = 100;
constexpr int kSplits = 80;

uint8_t DenibbledSum(const Bytes& message, size_t start, size_t nibbles) {
    const Bytes part(message.begin() + static_cast<long>(start), message.begin() + static_cast<long>(start + nibbles));
    const Bytes bytes = JoinLowFirst(part);
    return Sum7(bytes, 0, bytes.size());
}

class OberheimMatrix1000 : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {false, 0, 0}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x10, 0x06}) || message.size() < 5) return DumpCheck::NotADump();
        size_t nibbles = 0;
        std::string slot;
        const int number = message[4];
        switch (message[3]) {
        case 0x01:
            nibbles = kPatchNibbles;
            if (number >= kPatches) return DumpCheck::Invalid("no patch " + std::to_string(number));
            slot = PatchSlot(bank_, number);
            break;
        case 0x02:
            nibbles = kSplitNibbles;
            if (number >= kSplits) return DumpCheck::Invalid("no split " + std::to_string(number));
            slot = SplitSlot(number);
            break;
        case 0x03:
            nibbles = kMasterNibbles;
            slot = "master";
            break;
        default:
            return DumpCheck::NotADump();
        }
        if (message.size() != 5 + nibbles + 2) return DumpCheck::Invalid(slot + " dump of wrong size");
        const Bytes data(message.begin() + 5, message.begin() + 5 + static_cast<long>(nibbles));
        if (!AllNibbles(data)) return DumpCheck::Invalid(slot + " data is not nibbles");
        if (message[5 + nibbles] != DenibbledSum(message, 5, nibbles)) return DumpCheck::Invalid("bad checksum");
        // The master dump's version byte belongs to what it carries.
        Bytes held = slot == "master" ? Bytes{message[4]} : Bytes{};
        Append(held, data);
        return DumpCheck::Valid(slot, held, -1);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (!StartsWith(message, {0xF0, 0x10, 0x06})) return false;
        if (message.size() == 6 && message[3] == 0x0A) {
            if (message[4] >= kBanks) return false;
            bank_ = message[4];
            return true;
        }
        if (message.size() != 7 || message[3] != 0x04) return false;
        const int number = message[5];
        switch (message[4]) {
        case 0x00:
            if (number != 0) return false;
            for (int n = 0; n < kPatches; ++n) replies.push_back(PatchMessage(n));
            for (int n = 0; n < kSplits; ++n) replies.push_back(SplitMessage(n));
            replies.push_back(MasterMessage());
            return true;
        case 0x01:
            if (number >= kPatches) return false;
            replies.push_back(PatchMessage(number));
            return true;
        case 0x03:
            if (number != 0) return false;
            replies.push_back(MasterMessage());
            return true;
        case 0x04:
            if (number != 0) return false;
            replies.push_back(PatchMessage(program_));
            return true;
        default:
            return false;
        }
    }

    // Omni: a program change on any channel selects the patch.
    void HandleChannel(const Bytes& message, std::vector<Bytes>& replies) override {
        (void)replies;
        if ((message[0] & 0xF0) == 0xC0 && message.size() == 2 && message[1] < kPatches) program_ = message[1];
    }

private:
    static std::string PatchSlot(int bank, int number) {
        return "bank " + std::to_string(bank) + " patch " + std::to_string(number);
    }
    static std::string SplitSlot(int number) { return "split " + std::to_string(number); }

    static Bytes Message(uint8_t type, uint8_t number, const Bytes& nibbles) {
        Bytes message{0xF0, 0x10, 0x06, type, number};
        Append(message, nibbles);
        message.push_back(DenibbledSum(message, 5, nibbles.size()));
        message.push_back(0xF7);
        return message;
    }

    Bytes PatchMessage(int number) {
        return Message(0x01, static_cast<uint8_t>(number), Slot(PatchSlot(bank_, number), kPatchNibbles, 0x0F));
    }
    Bytes SplitMessage(int number) {
        return Message(0x02, static_cast<uint8_t>(number), Slot(SplitSlot(number), kSplitNibbles, 0x0F));
    }
    Bytes MasterMessage() {
        if (!Memory().count("master")) {
            Bytes master{0x00};  // version
            Append(master, SeededBytes(Seed(), "master", kMasterNibbles, 0x0F));
            MutableMemory()["master"] = master;
        }
        const Bytes& master = Memory().at("master");
        return Message(0x03, master[0], Bytes(master.begin() + 1, master.end()));
    }

    int bank_ = 0;
    int program_ = 0;
};

}  // namespace

DRUV_PROFILE(OberheimMatrix1000, "Oberheim", "Matrix-1000")

}  // namespace druv::profiles
