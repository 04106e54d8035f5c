// The machine's MIDI ports through WinMM: the host's port directory lists
// them, and opening one by its index in the list gives a WinmmInputPort or a
// WinmmOutputPort.
#pragma once

#include <memory>

#include "druvhost/ports/midi_port_system.h"
#include "druvhost/ports/winmm/winmm_api.h"
#include "druvhost/ports/winmm/winmm_port_options.h"

namespace druvhost {

// The machine's ports, with the default buffer sizes and time limits.
std::unique_ptr<MidiPortSystem> MakeWinmmPortSystem();

namespace winmm {

class WinmmPortSystem final : public MidiPortSystem {
public:
    WinmmPortSystem(std::shared_ptr<WinmmApi> api, const WinmmPortOptions& options);

    std::vector<std::string> InputNames() override;
    std::vector<std::string> OutputNames() override;
    std::unique_ptr<MidiOutputPort> OpenOutput(size_t index, std::string& error) override;
    std::unique_ptr<MidiInputPort> OpenInput(size_t index, MidiMessageSink sink, std::string& error) override;

private:
    std::shared_ptr<WinmmApi> api_;
    WinmmPortOptions options_;
};

}  // namespace winmm
}  // namespace druvhost
