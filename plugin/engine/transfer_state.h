// The working state of one plug-in instance's transfers: what the transfer
// thread, the host's MIDI input thread, Cancel and the editor page's
// detection share while dumps move. The engine owns it; the device
// definition it works from stays read-only. The atomic members are shared
// (release stores, acquire loads); the plain ones belong to one thread at a
// time.
#pragma once

#include <atomic>
#include <cstdint>

struct IMPMidiOut;
class DRUVTemplate;

// What the instance is busy with. A receive, a transmit and a detection each
// need the instrument to themselves, so each begins by moving the one shared
// state from Idle to its own value, and gives up when another holds it.
enum class Activity : uint8_t { Idle, Receiving, Transmitting, Detecting };

struct TransferState {
    // The host's MIDI output, set when the host initialises the plug-in.
    IMPMidiOut* host_link = nullptr;

    std::atomic<bool> abort{false};                                 // set by Cancel
    int32_t loop_value = 0;                                         // LoopStart, stepped by LoopIncDec
    std::atomic<const DRUVTemplate*> current_template{nullptr};     // template being received
    std::atomic<uint8_t*> write_position{nullptr};                  // next free byte of the receive buffer
    std::atomic<int32_t> bytes_received{0};
    std::atomic<uint32_t> space_left{0};                            // all bits set flags an overrun
    std::atomic<bool> data_received{false};
    // An incoming message matched the current template's Terminator: set by
    // the input thread, cleared by the transfer thread.
    std::atomic<bool> terminator_seen{false};
    std::atomic<Activity> activity{Activity::Idle};
    // Some SysX arrived while a detection waited for its reply.
    std::atomic<bool> reply_seen{false};
    // Input handlers between entry and exit; the transfer thread waits for 0
    // after closing a receive loop, before it touches the buffer itself.
    std::atomic<int32_t> input_handlers_running{0};
    uint32_t detect_deadline = 0;                                   // millisecond tick
};

// Moves the state from Idle to `activity`; false (nothing changed) while
// anything else runs. Sequentially consistent: the filter's Load and Save
// announce themselves and then look at the state, while a transfer takes the
// state and then looks for them, and each must see the other.
inline bool BeginActivity(TransferState& state, Activity activity) {
    Activity idle = Activity::Idle;
    return state.activity.compare_exchange_strong(idle, activity, std::memory_order_seq_cst);
}

// Back to Idle, if `activity` is what runs.
inline void EndActivity(TransferState& state, Activity activity) {
    state.activity.compare_exchange_strong(activity, Activity::Idle, std::memory_order_acq_rel);
}

inline bool DetectionWaits(const TransferState& state) {
    return state.activity.load(std::memory_order_acquire) == Activity::Detecting;
}

inline bool TransferRuns(const TransferState& state) {
    Activity now = state.activity.load(std::memory_order_acquire);
    return now == Activity::Receiving || now == Activity::Transmitting;
}

constexpr uint32_t kReceiveOverrun = 0xFFFFFFFFu;
