// The Yamaha DX7II and TX802 bulk formats: `F0 43 0n ff hh ll [identifier]
// [data] cs F7`, hh ll the byte count from offset 6 (identifier and data),
// cs the two's complement of those bytes; requests `F0 43 2n ff F7`, or
// `F0 43 2n 7E [identifier] F7` for the blocks named by an "LM  ..."
// identifier. The voices and their additional data (AMEM) come in two
// banks, I and II; the parameter change `F0 43 1n 19 4D 00|01 F7` chooses
// the one that requests and incoming dumps address. The unit starts on I.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "simulator/profiles/instrument_profile.h"

namespace druv::profiles {

struct Dx7iiBlock {
    const char* slot;   // memory slot; the voice banks' get " I" or " II"
    uint8_t format;     // byte 3
    uint8_t countHigh;  // bytes 4, 5
    uint8_t countLow;
    const char* name;   // the identifier at offset 6, or null
    size_t data;        // data bytes after the identifier
    bool perVoiceBank;  // one per voice bank
    // False for blocks without an overall checksum: every byte after the
    // identifier up to F7 is data, and the count bytes are not checked.
    bool checksum = true;
};

class YamahaDx7iiFamily : public InstrumentProfile {
public:
    YamahaDx7iiFamily(const ProfileSettings& settings, std::vector<Dx7iiBlock> blocks);

    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override;
    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override;

private:
    std::string SlotName(const Dx7iiBlock& block) const;
    std::vector<Dx7iiBlock> blocks_;
    uint8_t bank_ = 0;
};

}  // namespace druv::profiles
