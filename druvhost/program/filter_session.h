// One device's filter object created through the plug-in as a host creates
// it, initialised with this host's ports and MIDI output, its settings
// chosen, its ports opened, and transfers run on a thread of their own.
// Windows only.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/druv_device.h"
#include "druvhost/cli/installed_devices.h"
#include "druvhost/host/host_midi_out.h"
#include "druvhost/host/host_object.h"
#include "druvhost/host/midi_input_thread.h"
#include "druvhost/ports/port_table.h"
#include "druvhost/ports/simulated_port_system.h"

namespace druvhost {

struct SessionChoices {
    std::string inPort;   // empty: as saved, else the simulated pair
    std::string outPort;
    std::optional<int> deviceId;  // as the device shows it
    std::optional<int> channel;   // 1 to 16
    // Memory contents of the simulated instrument; unset: the default, the
    // one a receive reads.
    std::optional<uint64_t> simulatorSeed;
};

enum class TransferOutcome { Done, Cancelled, Failed };

class FilterSession {
public:
    explicit FilterSession(const InstalledDevice& device);
    ~FilterSession();
    FilterSession(const FilterSession&) = delete;
    FilterSession& operator=(const FilterSession&) = delete;

    // Creates and initialises the filter, applies `choices` over `saved` (the
    // bytes a filter of this device saved, or null for a fresh one), loads
    // them into the filter and opens the chosen ports. False with `error`.
    bool Open(const std::vector<uint8_t>* saved, const SessionChoices& choices, std::string& error);

    // The configurations to choose from: "All" and then each one's name, as
    // the definition holds them.
    std::vector<std::string> Configurations() const;
    // Runs a transfer to its end, showing progress; Ctrl+C cancels it.
    // `reported`: every text the plug-in gave its progress sink, in order.
    TransferOutcome Transfer(bool transmit, uint32_t mask, std::vector<std::string>& reported, std::string& error);
    // What the filter saves now; false with `error` when it refuses.
    bool Save(std::vector<uint8_t>& bytes, std::string& error);

    // Whether the user changed settings on the page since the last Save.
    bool IsDirty() const { return persist_ != nullptr && persist_->IsDirty() == S_OK; }
    const DRUVDevice& Definition() const { return definition_; }
    const PortEntry* InPort() const { return in_; }
    const PortEntry* OutPort() const { return out_; }
    // Null unless the simulated pair is in use.
    druv::simulator::SimulatedInstrument* SimulatedInstrument();
    IUnknown* Filter() const { return filter_; }

private:
    void Close();

    InstalledDevice device_;
    DRUVDevice definition_;
    // Destroyed after the filter is released: it claims and releases ports
    // through the host object until its last reference goes.
    HostObject host_;
    HostMidiOut midi_out_;
    MidiInputThread input_;
    std::vector<std::unique_ptr<MidiPortSystem>> systems_;
    std::unique_ptr<PortTable> table_;
    std::unique_ptr<MidiOutputPort> output_;
    std::unique_ptr<MidiInputPort> input_port_;
    const PortEntry* in_ = nullptr;
    const PortEntry* out_ = nullptr;
    IUnknown* filter_ = nullptr;
    IMPInitialise* initialise_ = nullptr;
    IPersistStream* persist_ = nullptr;
    IMPServices* services_ = nullptr;
    bool initialised_ = false;
    // Messages the output port refused; the filter cannot hear of them.
    std::atomic<uint32_t> send_failures_{0};
};

// The port systems of this host in their order: the simulated pair (playing
// `definition` if given) first, then the machine's.
std::vector<std::unique_ptr<MidiPortSystem>> HostPortSystems(SimulatedPortSystem*& simulated,
                                                             const DRUVDevice* definition,
                                                             const druv::simulator::SimulatedInstrument::Settings& settings);

}  // namespace druvhost
