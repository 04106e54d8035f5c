// The Yamaha DX7 voice formats shared by the DX7 (mk I) and the TX7: the
// 32-voice bank VMEM `F0 43 0n 09 20 00 [4096] cs F7` (4104 bytes) and the
// single voice VCED `F0 43 0n 00 01 1B [155] cs F7` (163 bytes), both with
// the two's complement of the data sum as checksum; n is the MIDI channel.
// The DX7 mk I only sends from its front panel; the TX7 answers requests
// `F0 43 2n 09 F7` (bank) and `F0 43 2n 00 F7` (the edit buffer, which a
// program change loads with a voice of the bank).
#pragma once

#include "simulator/profiles/instrument_profile.h"

namespace druv::profiles {

class YamahaDx7Family : public InstrumentProfile {
public:
    YamahaDx7Family(const ProfileSettings& settings, bool answersRequests);

    DeviceIdRule IdRule() const override { return {true, 0, 15}; }
    std::vector<std::string> PanelActions() const override;

    static constexpr size_t kBankSize = 4104;
    static constexpr size_t kVoiceSize = 163;

protected:
    DumpCheck CheckDump(const Bytes& message) const override;
    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override;
    void HandleChannel(const Bytes& message, std::vector<Bytes>& replies) override;
    bool PanelDump(const std::string& action, std::vector<Bytes>& messages) override;

private:
    Bytes BankMessage();
    Bytes VoiceMessage();
    Bytes& Bank();
    Bytes& Edit();
    bool answersRequests_;
};

}  // namespace druv::profiles
