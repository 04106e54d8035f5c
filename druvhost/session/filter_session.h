// One device's filter object created through the plug-in as a host creates
// it, initialised with this host's ports and MIDI output, its settings
// chosen and its ports opened. Transfers run on the thread that asks for
// them: a program runs them on a thread of its own and cancels them from
// another. Shared by druvhost and the window host. Windows only.
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
#include "druvhost/host/detection_probe.h"
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
    // Runs a transfer to its end on the calling thread; each call of the
    // plug-in's progress sink goes on to `display` (if given) on the
    // transfer's thread. `reported`: every text the plug-in gave its progress
    // sink, in order. Cancelled when Cancel was called since the last transfer.
    TransferOutcome Transfer(bool transmit, uint32_t mask, IMPProgressSink* display,
                             std::vector<std::string>& reported, std::string& error);
    // Asks the running (or the next) transfer to stop; from any thread.
    void Cancel();
    // Whether the instrument answers the detection request, sent on the
    // session's open ports with `deviceId` and `channel` (as stored); not
    // while a transfer of this session runs.
    Detection Probe(uint8_t deviceId, uint8_t channel);
    // Returns once nothing has come in on the session's input for
    // `quietMs` (counted from the opening of its ports when nothing came
    // yet), or after `longestMs`: an answer to an earlier question (the
    // page's or a probe's) that comes late must not reach a receive.
    void WaitForQuietInput(uint32_t quietMs, uint32_t longestMs);
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
    IMPServices* Services() const { return services_; }

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
    std::atomic<bool> cancel_requested_{false};
    // The host's own detection on the session's ports; it hears the input
    // only while `probing_` is set. Made once the definition is read.
    std::unique_ptr<DetectionProbe> probe_;
    std::atomic<bool> probing_{false};
    std::atomic<uint32_t> last_input_tick_{0};
};

// The port systems of this host in their order: the simulated pair (playing
// `definition` if given) first, then the machine's.
std::vector<std::unique_ptr<MidiPortSystem>> HostPortSystems(SimulatedPortSystem*& simulated,
                                                             const DRUVDevice* definition,
                                                             const druv::simulator::SimulatedInstrument::Settings& settings);

}  // namespace druvhost
