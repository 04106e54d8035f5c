// The program messages of Novation's later synths (Peak, Summit, UltraNova):
// inside `F0 00 20 29 [product bytes] … F7`, no device ID, no checksum.
//   program request `41 00 00 00 bb pp`  (bb 1..4 = banks A..D, pp 0..127)
//   edit request    `40 [five bytes of the unit's own]`
//   dump            `tt 00 00 00 bb pp [512 data bytes]`, tt 01 for a
//                   program, 00 for the edit buffer
// Both dumps are taken back; an edit-buffer dump's bank and program bytes
// mean nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "simulator/profiles/instrument_profile.h"

namespace druv::profiles {

struct NovationFormat {
    Bytes wrapper;      // F0 00 20 29 and the product bytes
    Bytes editRequest;  // the five bytes after 40
};

class NovationFamily : public InstrumentProfile {
public:
    NovationFamily(const ProfileSettings& settings, NovationFormat format);

    DeviceIdRule IdRule() const override { return {false, 0, 0}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override;
    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override;

private:
    size_t Command() const { return format_.wrapper.size(); }
    Bytes Dump(uint8_t type, uint8_t bank, uint8_t program, const Bytes& data) const;
    NovationFormat format_;
};

}  // namespace druv::profiles
