#include "druvhost/ports/simulated_port_system.h"

namespace druvhost {

class SimulatedPortSystem::Output : public MidiOutputPort {
public:
    explicit Output(druv::simulator::SimulatedInstrument* instrument) : instrument_(instrument) {}
    bool Send(const uint8_t* message, size_t size) override {
        if (instrument_ != nullptr) instrument_->Receive(message, size);
        return true;
    }

private:
    druv::simulator::SimulatedInstrument* instrument_;
};

class SimulatedPortSystem::Input : public MidiInputPort {
public:
    explicit Input(SimulatedPortSystem& system) : system_(system) {}
    ~Input() override { system_.SetSink(nullptr); }

private:
    SimulatedPortSystem& system_;
};

SimulatedPortSystem::SimulatedPortSystem(const DRUVDevice& device,
                                         druv::simulator::SimulatedInstrument::Settings settings)
    : instrument_(std::make_unique<druv::simulator::SimulatedInstrument>(
          device, settings, [this](const uint8_t* message, size_t size) { Reply(message, size); })) {}

SimulatedPortSystem::~SimulatedPortSystem() { instrument_.reset(); }

std::unique_ptr<MidiOutputPort> SimulatedPortSystem::OpenOutput(size_t index, std::string& error) {
    if (index != 0) {
        error = "no such simulated output";
        return nullptr;
    }
    return std::make_unique<Output>(instrument_.get());
}

std::unique_ptr<MidiInputPort> SimulatedPortSystem::OpenInput(size_t index, MidiMessageSink sink, std::string& error) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (index != 0) {
        error = "no such simulated input";
        return nullptr;
    }
    if (sink_) {
        error = "the simulated input is already open";
        return nullptr;
    }
    sink_ = std::move(sink);
    return std::make_unique<Input>(*this);
}

// Holding the lock while delivering lets closing the input wait for a
// delivery in progress, as the interface promises.
void SimulatedPortSystem::Reply(const uint8_t* message, size_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (sink_) sink_(message, size);
}

void SimulatedPortSystem::SetSink(MidiMessageSink sink) {
    std::lock_guard<std::mutex> lock(mutex_);
    sink_ = std::move(sink);
}

}  // namespace druvhost
