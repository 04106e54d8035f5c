#include "druvhost/ports/winmm/winmm_port_system.h"

#include "druvhost/ports/winmm/winmm_input_port.h"
#include "druvhost/ports/winmm/winmm_output_port.h"
#include "druvhost/ports/winmm/winmm_text.h"

namespace druvhost {

std::unique_ptr<MidiPortSystem> MakeWinmmPortSystem() {
    return std::make_unique<winmm::WinmmPortSystem>(winmm::SystemWinmmApi(), winmm::WinmmPortOptions{});
}

namespace winmm {

namespace {

// The name of port `index` of `names`, or an error saying there is none.
bool FindPort(const std::vector<std::string>& names, size_t index, const char* kind,
              std::string& name, std::string& error) {
    if (index >= names.size()) {
        error = "there is no MIDI " + std::string(kind) + " " + std::to_string(index + 1) +
                ": the system has " + std::to_string(names.size());
        return false;
    }
    name = names[index];
    return true;
}

}  // namespace

WinmmPortSystem::WinmmPortSystem(std::shared_ptr<WinmmApi> api, const WinmmPortOptions& options)
    : api_(std::move(api)), options_(options) {}

std::vector<std::string> WinmmPortSystem::InputNames() { return InputPortNames(*api_); }

std::vector<std::string> WinmmPortSystem::OutputNames() { return OutputPortNames(*api_); }

std::unique_ptr<MidiOutputPort> WinmmPortSystem::OpenOutput(size_t index, std::string& error) {
    std::string name;
    if (!FindPort(OutputNames(), index, "output", name, error)) return nullptr;
    return WinmmOutputPort::Open(api_, static_cast<UINT>(index), name, options_, error);
}

std::unique_ptr<MidiInputPort> WinmmPortSystem::OpenInput(size_t index, MidiMessageSink sink,
                                                          std::string& error) {
    std::string name;
    if (!FindPort(InputNames(), index, "input", name, error)) return nullptr;
    return WinmmInputPort::Open(api_, static_cast<UINT>(index), name, std::move(sink), options_, error);
}

}  // namespace winmm
}  // namespace druvhost
