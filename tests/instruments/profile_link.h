// The engine wired to an instrument profile in virtual time, as a host wires
// a plug-in to its MIDI ports: every event the engine sends reaches the
// profile as one whole message, and the profile's replies travel the wire
// at 3125 bytes per second after its response delay. Whenever the engine
// sleeps on the virtual clock, the replies whose last byte has arrived are
// handed to the engine's input handlers, so that a receive takes the wire
// time of its replies and the definitions' time-out windows are tested for
// real.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "plugin/engine/transfer_engine.h"
#include "plugin/engine/transfer_state.h"
#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/wire_queue.h"
#include "tests/plugin/fakes/recording_midi_out.h"
#include "tests/plugin/fakes/stack_object.h"

using druv::profiles::kWireBytesPerSecond;

class ProfileLink : public StackObject<IMPMidiOut> {
public:
    ProfileLink(VirtualClock& clock, TransferState& state) : clock_(clock), state_(state) {
        clock_.SetSleepHook([this](uint32_t) {
            Deliver();
            // A transfer that waits for a reply that never comes (a manual
            // dump waits without limit) is cancelled as a user would.
            if (watchdogMs_ && clock_.TickCount() - watchdogStart_ > watchdogMs_) {
                state_.abort.store(true);
                watchdogFired_ = true;
            }
        });
    }
    virtual ~ProfileLink() { clock_.SetSleepHook(nullptr); }

    HRESULT STDMETHODCALLTYPE Send(MPEvent* events, uint32_t count) override {
        for (uint32_t i = 0; i < count; ++i) {
            SentEvent sent{events[i], {}, 0, count};
            if (events[i].Type == MP_EVENT_SYSX && events[i].Data.SysX)
                sent.sysx.assign(events[i].Data.SysX, events[i].Data.SysX + events[i].Length);
            const std::vector<uint8_t> wire = sent.WireBytes();
            if (wire.empty()) continue;
            std::lock_guard<std::mutex> lock(mutex_);
            sentByEngine_.push_back(wire);
            sentTicks_.push_back(clock_.TickCount());
            if (!profile_) continue;
            // The instrument hears the request once its last byte is in,
            // then takes its response delay.
            const uint32_t requestMs = static_cast<uint32_t>((wire.size() * 1000 + kWireBytesPerSecond - 1) / kWireBytesPerSecond);
            queue_.Push(profile_->Receive(wire), clock_.TickCount(), requestMs + profile_->ResponseDelayMs());
        }
        return S_OK;
    }

    void Connect(druv::profiles::InstrumentProfile* profile) {
        std::lock_guard<std::mutex> lock(mutex_);
        profile_ = profile;
    }

    // The musician starts a front-panel dump now; false for an action the
    // instrument does not have.
    bool Panel(const std::string& action, uint32_t delayMs = 20) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!profile_) return false;
        const std::vector<druv::profiles::Bytes> messages = profile_->Panel(action);
        queue_.Push(messages, clock_.TickCount(), delayMs, profile_->PanelStepMs(action));
        return !messages.empty();
    }

    // Hands the replies that have arrived to the engine's input handlers.
    void Deliver() {
        for (druv::profiles::Bytes& message : queue_.TakeDue(clock_.TickCount())) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (!message.empty() && message[0] == 0xF0 && sysxToCorrupt_ >= 0 && sysxToCorrupt_-- == 0 &&
                    message.size() >= 4)
                    message[message.size() - 3] ^= 0x01;
                delivered_.push_back(message);
                deliveredTicks_.push_back(clock_.TickCount());
            }
            if (message.empty()) continue;
            if (message[0] == 0xF0) {
                OnSysX(state_, false, message.data() + 1, static_cast<uint32_t>(message.size() - 1));
                continue;
            }
            uint32_t packed = message[0];
            if (message.size() > 1) packed |= uint32_t{message[1]} << 8;
            if (message.size() > 2) packed |= uint32_t{message[2]} << 16;
            OnShortMessage(state_, packed);
        }
    }

    std::vector<druv::profiles::Bytes> SentByEngine() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return sentByEngine_;
    }
    std::vector<druv::profiles::Bytes> Delivered() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return delivered_;
    }
    // When each of those was sent or handed over, in virtual milliseconds.
    std::vector<uint32_t> SentTicks() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return sentTicks_;
    }
    std::vector<uint32_t> DeliveredTicks() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return deliveredTicks_;
    }
    void ClearRecords() {
        std::lock_guard<std::mutex> lock(mutex_);
        sentByEngine_.clear();
        sentTicks_.clear();
        delivered_.clear();
        deliveredTicks_.clear();
    }

    // A fault on the wire: the `index`th SysX message handed over from now
    // (0: the next) arrives with bit 0 of its third-last byte flipped, the
    // last data byte before the checksum of most formats.
    void CorruptSysX(int index) {
        std::lock_guard<std::mutex> lock(mutex_);
        sysxToCorrupt_ = index;
    }
    const druv::profiles::WireQueue& Queue() const { return queue_; }

    // Cancels the transfer once `limitMs` of virtual time have passed from now.
    void SetWatchdog(uint32_t limitMs) {
        watchdogStart_ = clock_.TickCount();
        watchdogMs_ = limitMs;
        watchdogFired_ = false;
    }
    bool WatchdogFired() const { return watchdogFired_; }

private:
    VirtualClock& clock_;
    TransferState& state_;
    mutable std::mutex mutex_;
    druv::profiles::InstrumentProfile* profile_ = nullptr;
    druv::profiles::WireQueue queue_;
    std::vector<druv::profiles::Bytes> sentByEngine_;
    std::vector<uint32_t> sentTicks_;
    std::vector<druv::profiles::Bytes> delivered_;
    std::vector<uint32_t> deliveredTicks_;
    int sysxToCorrupt_ = -1;
    uint32_t watchdogStart_ = 0;
    uint32_t watchdogMs_ = 0;
    bool watchdogFired_ = false;
};
