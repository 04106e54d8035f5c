// druvhost's machine ports for druvhost-quiet-port.exe: an interface that
// nobody is connected to ("DRUV Quiet Test Port"), then the machine's own.
// What is sent there is lost and nothing ever arrives, as when the
// instrument at the end of the cable is switched off. The program is
// druvhost.exe in all else, so a test sees what a musician sees then.
#include "druvhost/program/machine_ports.h"

#include "druvhost/ports/winmm/winmm_port_system.h"

namespace druvhost {

namespace {

constexpr char kQuietPortName[] = "DRUV Quiet Test Port";

class QuietPorts : public MidiPortSystem {
public:
    class Port : public MidiOutputPort, public MidiInputPort {
    public:
        bool Send(const uint8_t*, size_t) override { return true; }
    };

    std::vector<std::string> InputNames() override { return {kQuietPortName}; }
    std::vector<std::string> OutputNames() override { return {kQuietPortName}; }
    std::unique_ptr<MidiOutputPort> OpenOutput(size_t, std::string&) override { return std::make_unique<Port>(); }
    std::unique_ptr<MidiInputPort> OpenInput(size_t, MidiMessageSink, std::string&) override {
        return std::make_unique<Port>();
    }
};

}  // namespace

void AddMachinePortSystems(std::vector<std::unique_ptr<MidiPortSystem>>& systems) {
    systems.push_back(std::make_unique<QuietPorts>());
    if (std::unique_ptr<MidiPortSystem> winmm = MakeWinmmPortSystem()) systems.push_back(std::move(winmm));
}

}  // namespace druvhost
