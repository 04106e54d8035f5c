// The Yamaha 4-operator voice formats shared by the TX81Z and the DX21: the
// 32-voice bank VMEM `F0 43 0n 04 20 00 [4096] cs F7` (4104 bytes) and the
// edit-buffer voice VCED `F0 43 0n 03 00 5D [93] cs F7` (101 bytes); the
// TX81Z adds ACED `F0 43 0n 7E 00 21 "LM  8976AE" [23] cs F7` (41 bytes),
// sent before the VCED. Checksums: two's complement of the bytes from
// offset 6. Requests `F0 43 2n 04 F7` (bank) and, for the single voice,
// `F0 43 2n 03 F7` (DX21) or `F0 43 2n 7E "LM  8976AE" F7` (TX81Z). A
// program change loads a voice of the bank into the edit buffer.
#pragma once

#include "simulator/profiles/instrument_profile.h"

namespace druv::profiles {

class Yamaha4OpFamily : public InstrumentProfile {
public:
    Yamaha4OpFamily(const ProfileSettings& settings, bool withAced);

    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override;
    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override;
    void HandleChannel(const Bytes& message, std::vector<Bytes>& replies) override;

private:
    Bytes& Bank();
    void EnsureEdit();
    bool withAced_;
};

}  // namespace druv::profiles
