#include "simulator/profiles/sequential_family.h"

#include <string>

#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {

SequentialFamily::SequentialFamily(const ProfileSettings& settings, const SequentialFormat& format)
    : InstrumentProfile(settings), format_(format) {}

Bytes SequentialFamily::Header() const {
    Bytes header{0xF0};
    Append(header, format_.maker);
    header.push_back(format_.id);
    if (format_.versionByte) header.push_back(0x01);
    return header;
}

std::string SequentialFamily::ProgramSlot(int bank, int program) {
    return "bank " + std::to_string(bank) + " program " + std::to_string(program);
}

Bytes& SequentialFamily::Program(int bank, int program) { return Slot(ProgramSlot(bank, program), format_.dataSize); }

// After power-on the edit buffer holds program 1 of bank 1.
Bytes& SequentialFamily::Edit() {
    if (!Memory().count("edit")) {
        const Bytes first = Program(0, 0);
        MutableMemory()["edit"] = first;
    }
    return MutableMemory()["edit"];
}

DumpCheck SequentialFamily::CheckDump(const Bytes& message) const {
    const Bytes header = Header();
    if (!StartsWith(message, header) || message.size() <= header.size()) return DumpCheck::NotADump();
    const size_t type = header.size();
    if (message[type] == 0x02) {
        if (message.size() != header.size() + 3 + format_.dataSize + 1)
            return DumpCheck::Invalid("program dump of " + std::to_string(message.size()) + " bytes");
        const int bank = message[type + 1];
        const int program = message[type + 2];
        if (bank >= format_.banks || program >= format_.programsPerBank)
            return DumpCheck::Invalid("no program " + std::to_string(program) + " in bank " + std::to_string(bank));
        const auto data = message.begin() + static_cast<long>(type + 3);
        return DumpCheck::Valid(ProgramSlot(bank, program), Bytes(data, data + static_cast<long>(format_.dataSize)),
                                -1);
    }
    if (message[type] == 0x03) {
        if (message.size() != header.size() + 1 + format_.dataSize + 1)
            return DumpCheck::Invalid("edit-buffer dump of " + std::to_string(message.size()) + " bytes");
        const auto data = message.begin() + static_cast<long>(type + 1);
        return DumpCheck::Valid("edit", Bytes(data, data + static_cast<long>(format_.dataSize)), -1);
    }
    return DumpCheck::NotADump();
}

bool SequentialFamily::HandleRequest(const Bytes& message, std::vector<Bytes>& replies) {
    const Bytes header = Header();
    if (!StartsWith(message, header)) return false;
    const size_t type = header.size();
    if (message.size() == header.size() + 4 && message[type] == 0x05) {
        const int bank = message[type + 1];
        const int program = message[type + 2];
        if (bank >= format_.banks || program >= format_.programsPerBank) return false;
        Bytes reply = header;
        reply.push_back(0x02);
        reply.push_back(static_cast<uint8_t>(bank));
        reply.push_back(static_cast<uint8_t>(program));
        Append(reply, Program(bank, program));
        reply.push_back(0xF7);
        replies.push_back(reply);
        return true;
    }
    if (message.size() == header.size() + 2 && message[type] == 0x06) {
        Bytes reply = header;
        reply.push_back(0x03);
        Append(reply, Edit());
        reply.push_back(0xF7);
        replies.push_back(reply);
        return true;
    }
    return false;
}

// Any channel: these units are usually left on one, and a librarian sends
// on the channel the musician chose.
void SequentialFamily::HandleChannel(const Bytes& message, std::vector<Bytes>& replies) {
    (void)replies;
    const uint8_t status = message[0] & 0xF0;
    if (status == 0xB0 && message.size() == 3 && (message[1] == 0 || message[1] == 32)) {
        if (message[2] < format_.banks) bank_ = message[2];
    } else if (status == 0xC0 && message.size() == 2 && message[1] < format_.programsPerBank) {
        const Bytes program = Program(bank_, message[1]);
        MutableMemory()["edit"] = program;
    }
}

}  // namespace druv::profiles
