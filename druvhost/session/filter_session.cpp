#include "druvhost/session/filter_session.h"

#include "druvhost/cli/configuration_choice.h"
#include "druvhost/host/progress_recorder.h"
#include "druvhost/host/project_stream.h"
#include "druvhost/host/saved_settings.h"
#include "druvhost/session/machine_ports.h"
#include "platform/clock.h"
#include "platform/utf16_text.h"

namespace druvhost {

namespace {

// Passes every progress call on, and repeats a cancel that was asked for
// before the transfer began: the filter clears its abort flag as a
// transfer starts, and the first progress call comes right after.
class CancelAwareProgress : public IMPProgressSink {
public:
    CancelAwareProgress(IMPProgressSink* display, IMPServices* services, const std::atomic<bool>& cancel)
        : display_(display), services_(services), cancel_(cancel) {}
    virtual ~CancelAwareProgress() = default;

    HRESULT STDMETHODCALLTYPE Progress(void* context, uint32_t done, uint32_t total, const WCHAR* text) override {
        if (cancel_.load(std::memory_order_acquire)) services_->Cancel();
        return display_ != nullptr ? display_->Progress(context, done, total, text) : S_OK;
    }

private:
    IMPProgressSink* display_;
    IMPServices* services_;
    const std::atomic<bool>& cancel_;
};

std::vector<PortSpec> Specs(const PortTable& table, PortDirection direction) {
    std::vector<PortSpec> specs;
    for (const PortEntry& entry : table.Ports(direction))
        specs.push_back({entry.handle, entry.id, Utf8ToUtf16(entry.name)});
    return specs;
}

template <typename Interface>
void ReleaseInto(Interface*& pointer) {
    if (pointer != nullptr) pointer->Release();
    pointer = nullptr;
}

}  // namespace

std::vector<std::unique_ptr<MidiPortSystem>> HostPortSystems(
    SimulatedPortSystem*& simulated, const DRUVDevice* definition,
    const druv::simulator::SimulatedInstrument::Settings& settings) {
    std::vector<std::unique_ptr<MidiPortSystem>> systems;
    auto pair = definition != nullptr ? std::make_unique<SimulatedPortSystem>(*definition, settings)
                                      : std::make_unique<SimulatedPortSystem>();
    simulated = pair.get();
    systems.push_back(std::move(pair));
    AddMachinePortSystems(systems);
    return systems;
}

FilterSession::FilterSession(const InstalledDevice& device) : device_(device) {}

FilterSession::~FilterSession() { Close(); }

bool FilterSession::Open(const std::vector<uint8_t>* saved, const SessionChoices& choices, std::string& error) {
    definition_.SetFilePath(device_.definitionPath.c_str());
    if (device_.definitionPath.empty() || definition_.LoadDefinition() != 0) {
        error = "cannot read the definition of " + device_.name + " (" + device_.definitionPath + ")";
        return false;
    }

    HRESULT result = CoCreateInstance(device_.classId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                      reinterpret_cast<void**>(&filter_));
    if (FAILED(result)) {
        error = "the plug-in cannot create " + device_.name + " (HRESULT " + std::to_string(result) + ")";
        return false;
    }
    if (FAILED(filter_->QueryInterface(IID_IMPInitialise, reinterpret_cast<void**>(&initialise_))) ||
        FAILED(filter_->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist_))) ||
        FAILED(filter_->QueryInterface(IID_IMPServices, reinterpret_cast<void**>(&services_)))) {
        error = "the object created for " + device_.name + " is not a MIDI filter";
        return false;
    }

    std::vector<uint8_t> bytes;
    if (saved != nullptr) {
        bytes = *saved;
    } else if (!Save(bytes, error)) {
        return false;
    }
    SavedSettings current;
    if (!ReadSavedSettings(bytes, current)) {
        error = "the saved data of " + device_.name + " is of a form this host does not know";
        return false;
    }

    // The device ID and channel the user gives, as the editor page takes them.
    SettingsChange change;
    if (choices.deviceId) {
        uint8_t id = 0;
        if (!DeviceIdFromShown(*choices.deviceId, definition_.SysXDisplayOfs(), definition_.SysXChanMin(),
                               definition_.SysXChanMax(), id, error))
            return false;
        change.deviceId = id;
    }
    if (choices.channel) change.channel = static_cast<uint8_t>(*choices.channel - 1);

    probe_ = std::make_unique<DetectionProbe>(definition_, SystemClock());
    // Whatever asks the instrument as the ports open (the page does) has its
    // answer on the way from here on.
    last_input_tick_.store(SystemClock().TickCount(), std::memory_order_release);
    druv::simulator::SimulatedInstrument::Settings settings;
    settings.deviceId = change.deviceId.value_or(current.deviceId);
    settings.midiChannel = change.channel.value_or(current.channel);
    if (choices.simulatorSeed) settings.seed = *choices.simulatorSeed;
    SimulatedPortSystem* simulated = nullptr;
    systems_ = HostPortSystems(simulated, &definition_, settings);
    std::vector<MidiPortSystem*> pointers;
    for (const auto& system : systems_) pointers.push_back(system.get());
    table_ = std::make_unique<PortTable>(pointers);
    host_.SetPorts(MP_PORT_INPUT, Specs(*table_, PortDirection::Input));
    host_.SetPorts(MP_PORT_OUTPUT, Specs(*table_, PortDirection::Output));

    in_ = ChoosePort(*table_, PortDirection::Input, choices.inPort, current.inPort, error);
    out_ = in_ != nullptr ? ChoosePort(*table_, PortDirection::Output, choices.outPort, current.outPort, error)
                          : nullptr;
    if (out_ == nullptr) return false;
    change.inPort = in_->id;
    change.outPort = out_->id;
    ChangeSavedSettings(bytes, change);

    uint32_t flags = 0;
    result = initialise_->Initialise(host_.Unknown(), &midi_out_, 0, 0, &flags);
    if (FAILED(result)) {
        error = "the filter of " + device_.name + " refused to start";
        return false;
    }
    initialised_ = true;

    IStream* stream = nullptr;
    {
        MemoryIStream* memory = new (std::nothrow) MemoryIStream(bytes);
        stream = memory;
    }
    if (stream == nullptr) {
        error = "out of memory";
        return false;
    }
    result = persist_->Load(stream);
    stream->Release();
    if (result != S_OK) {
        error = "the filter of " + device_.name + " refused the saved data";
        return false;
    }

    output_ = table_->OpenOutput(*out_, error);
    if (!output_) {
        error = "cannot open the MIDI output " + out_->name + ": " + error;
        return false;
    }
    MidiOutputPort* output = output_.get();
    midi_out_.Route(out_->handle, [this, output](const uint8_t* message, size_t size) {
        if (!output->Send(message, size)) send_failures_.fetch_add(1);
    });
    const uint32_t inHandle = in_->handle;
    input_port_ = table_->OpenInput(
        *in_,
        [this, inHandle](const uint8_t* message, size_t size) {
            last_input_tick_.store(SystemClock().TickCount(), std::memory_order_release);
            if (probing_.load(std::memory_order_acquire)) probe_->OnMessage(message, size);
            input_.Deliver(inHandle, message, size);
        },
        error);
    if (!input_port_) {
        error = "cannot open the MIDI input " + in_->name + ": " + error;
        return false;
    }
    IMPEventFilter* events = nullptr;
    if (SUCCEEDED(filter_->QueryInterface(IID_IMPEventFilter, reinterpret_cast<void**>(&events)))) {
        input_.Connect(events);
        events->Release();
    }
    return true;
}

std::vector<std::string> FilterSession::Configurations() const { return ConfigurationNames(definition_); }

TransferOutcome FilterSession::Transfer(bool transmit, uint32_t mask, IMPProgressSink* display,
                                        std::vector<std::string>& reported, std::string& error) {
    CancelAwareProgress cancelAware(display, services_, cancel_requested_);
    ProgressRecorder progress(&cancelAware);
    const HRESULT result = services_->Transfer(transmit ? 1 : 0, &progress, mask);
    const bool cancelled = cancel_requested_.exchange(false);
    reported.clear();
    for (const ProgressRecord& record : progress.Records())
        if (record.hasText) reported.push_back(Utf16ToUtf8(record.text.data(), record.text.size()));
    if (cancelled) return TransferOutcome::Cancelled;
    if (FAILED(result)) {
        error = "the filter of " + device_.name + " refused the transfer";
        return TransferOutcome::Failed;
    }
    if (const uint32_t failures = send_failures_.exchange(0)) {
        error = std::to_string(failures) + " message(s) could not be sent on " + out_->name;
        return TransferOutcome::Failed;
    }
    return TransferOutcome::Done;
}

void FilterSession::Cancel() {
    cancel_requested_.store(true, std::memory_order_release);
    if (services_ != nullptr) services_->Cancel();
}

Detection FilterSession::Probe(uint8_t deviceId, uint8_t channel) {
    if (probe_ == nullptr || out_ == nullptr) return Detection::SendFailed;
    // A request the port refused is this probe's failure, not the next
    // transfer's.
    const uint32_t failuresBefore = send_failures_.load(std::memory_order_acquire);
    probing_.store(true, std::memory_order_release);
    const Detection detection = probe_->Run(midi_out_, out_->handle, deviceId, channel);
    probing_.store(false, std::memory_order_release);
    if (send_failures_.exchange(failuresBefore) != failuresBefore) return Detection::SendFailed;
    return detection;
}

void FilterSession::WaitForQuietInput(uint32_t quietMs, uint32_t longestMs) {
    Clock& clock = SystemClock();
    const uint32_t start = clock.TickCount();
    while (clock.TickCount() - start < longestMs &&
           clock.TickCount() - last_input_tick_.load(std::memory_order_acquire) < quietMs)
        clock.Sleep(10);
}

bool FilterSession::Save(std::vector<uint8_t>& bytes, std::string& error) {
    IStream* stream = CreateProjectStream();
    if (stream == nullptr) {
        error = "out of memory";
        return false;
    }
    const HRESULT result = persist_->Save(stream, TRUE);
    if (result == S_OK) bytes = StreamBytes(stream);
    stream->Release();
    if (result != S_OK) error = "the filter of " + device_.name + " could not save its data";
    return result == S_OK;
}

druv::simulator::SimulatedInstrument* FilterSession::SimulatedInstrument() {
    if (out_ == nullptr || out_->system != 0 || systems_.empty()) return nullptr;
    return static_cast<SimulatedPortSystem*>(systems_[0].get())->Instrument();
}

void FilterSession::Close() {
    input_.Connect(nullptr);
    input_port_.reset();
    if (initialised_) initialise_->Terminate();
    initialised_ = false;
    midi_out_.Route(0, nullptr);
    output_.reset();
    ReleaseInto(services_);
    ReleaseInto(persist_);
    ReleaseInto(initialise_);
    ReleaseInto(filter_);
}

}  // namespace druvhost
