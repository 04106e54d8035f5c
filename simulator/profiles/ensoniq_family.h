// The program dumps of the Ensoniq ESQ-1 and VFX: a header ending in the
// MIDI channel (`F0 0F 02 0n` ESQ-1, `F0 0F 05 00 0n` VFX), then a message
// type and nibble data, no checksum. One request returns the current
// program, another every internal program in one message; a program change
// on the unit's channel makes a program the current one. A single program
// sent to the unit replaces the current program, an all-programs dump the
// internal memory.
#pragma once

#include <cstddef>
#include <cstdint>

#include "simulator/profiles/instrument_profile.h"

namespace druv::profiles {

struct EnsoniqFormat {
    Bytes prefix;               // the header before the channel byte
    Bytes singleRequest;        // after the channel: asks for the current program
    Bytes allRequest;           // after the channel: asks for all programs
    uint8_t singleType = 0;     // message type of one program
    uint8_t allType = 0;        // message type of all programs
    size_t programNibbles = 0;  // nibbles per program
    uint8_t programs = 0;       // internal programs
};

class EnsoniqFamily : public InstrumentProfile {
public:
    EnsoniqFamily(const ProfileSettings& settings, EnsoniqFormat format);

    DeviceIdRule IdRule() const override { return {true, 0, 15}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override;
    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override;
    void HandleChannel(const Bytes& message, std::vector<Bytes>& replies) override;

private:
    Bytes Header() const;
    Bytes& Bank();
    Bytes& Current();
    EnsoniqFormat format_;
};

}  // namespace druv::profiles
