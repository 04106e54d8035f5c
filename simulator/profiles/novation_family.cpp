#include "simulator/profiles/novation_family.h"

#include <utility>

#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {

namespace {

constexpr size_t kDataSize = 512;
constexpr uint8_t kEditDump = 0x00;
constexpr uint8_t kProgramDump = 0x01;
constexpr uint8_t kEditRequest = 0x40;
constexpr uint8_t kProgramRequest = 0x41;
constexpr uint8_t kFirstBank = 1;
constexpr uint8_t kLastBank = 4;
constexpr uint8_t kPrograms = 128;

// Empty for a program the unit does not have.
std::string ProgramSlot(uint8_t bank, uint8_t program) {
    if (bank < kFirstBank || bank > kLastBank || program >= kPrograms) return std::string();
    return "bank " + std::to_string(bank) + " program " + std::to_string(program);
}

}  // namespace

NovationFamily::NovationFamily(const ProfileSettings& settings, NovationFormat format)
    : InstrumentProfile(settings), format_(std::move(format)) {}

Bytes NovationFamily::Dump(uint8_t type, uint8_t bank, uint8_t program, const Bytes& data) const {
    Bytes message = format_.wrapper;
    Append(message, {type, 0x00, 0x00, 0x00, bank, program});
    Append(message, data);
    message.push_back(0xF7);
    return message;
}

DumpCheck NovationFamily::CheckDump(const Bytes& message) const {
    const size_t type = Command();
    if (!StartsWith(message, format_.wrapper) || message.size() <= type) return DumpCheck::NotADump();
    if (message[type] != kEditDump && message[type] != kProgramDump) return DumpCheck::NotADump();
    if (message.size() != type + 6 + kDataSize + 1) return DumpCheck::Invalid("program dump of wrong size");
    const auto data = message.begin() + static_cast<long>(type + 6);
    const Bytes contents(data, data + static_cast<long>(kDataSize));
    if (message[type] == kEditDump) return DumpCheck::Valid("edit", contents, -1);
    const std::string slot = ProgramSlot(message[type + 4], message[type + 5]);
    if (slot.empty()) return DumpCheck::Invalid("no program " + HexName({message[type + 4], message[type + 5]}));
    return DumpCheck::Valid(slot, contents, -1);
}

bool NovationFamily::HandleRequest(const Bytes& message, std::vector<Bytes>& replies) {
    const size_t type = Command();
    if (!StartsWith(message, format_.wrapper) || message.size() != type + 7) return false;
    if (message[type] == kProgramRequest && message[type + 1] == 0x00 && message[type + 2] == 0x00 &&
        message[type + 3] == 0x00) {
        const uint8_t bank = message[type + 4], program = message[type + 5];
        const std::string slot = ProgramSlot(bank, program);
        if (slot.empty()) return false;
        replies.push_back(Dump(kProgramDump, bank, program, Slot(slot, kDataSize)));
        return true;
    }
    if (message[type] == kEditRequest && Bytes(message.begin() + static_cast<long>(type + 1), message.end() - 1) ==
                                             format_.editRequest) {
        replies.push_back(Dump(kEditDump, 0x00, 0x00, Slot("edit", kDataSize)));
        return true;
    }
    return false;
}

}  // namespace druv::profiles
