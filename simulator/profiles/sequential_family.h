// The program formats shared by the Sequential (and earlier DSI) synths:
// a program request `F0 01 id 05 bb pp F7` answered by the program dump
// `F0 01 id 02 bb pp [packed data] F7`, and an edit-buffer request
// `F0 01 id 06 F7` answered by `F0 01 id 03 [packed data] F7`. The Evolver
// puts a file-version byte 01 after its id. The Oberheim Teo-5 and OB-X8 put
// their maker byte 10 where 01 is, and the Groove Synthesis 3rd Wave its
// three-byte maker ID 00 02 4A. There is neither a device ID nor
// a checksum; the unit takes both dumps back (program or edit buffer).
// A program change (after a bank select, controller 0 or 32) loads that
// program into the edit buffer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "simulator/profiles/instrument_profile.h"

namespace druv::profiles {

struct SequentialFormat {
    uint8_t id = 0;               // the instrument's id byte after F0 01
    bool versionByte = false;     // Evolver: 01 between the id and the message type
    uint8_t banks = 0;            // bank numbers 0..banks-1
    uint8_t programsPerBank = 0;  // 128, or 100 on the Prophet-6 and OB-6
    size_t dataSize = 0;          // packed data bytes in a program dump
    Bytes maker{0x01};            // the maker ID after F0
};

class SequentialFamily : public InstrumentProfile {
public:
    SequentialFamily(const ProfileSettings& settings, const SequentialFormat& format);

    DeviceIdRule IdRule() const override { return {false, 0, 0}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override;
    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override;
    void HandleChannel(const Bytes& message, std::vector<Bytes>& replies) override;

private:
    Bytes Header() const;
    static std::string ProgramSlot(int bank, int program);
    Bytes& Program(int bank, int program);
    Bytes& Edit();
    SequentialFormat format_;
    int bank_ = 0;  // the bank a program change selects from
};

}  // namespace druv::profiles
