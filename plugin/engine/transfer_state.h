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
class Clock;
class DRUVTemplate;
struct AckPatterns;

// What came back while a transmit waited for the instrument's answer to a
// replayed loop.
enum class AckResult : uint8_t {
    None,          // nothing yet
    Writing,       // the input thread is copying an error reply; not yet to be read
    Acknowledged,  // a message began like the acknowledge pattern
    Refused,       // a message began like the error pattern; its bytes are in ack_reply
};

// The most bytes of an instrument's error reply kept to be shown.
constexpr uint32_t kAckReplyBytes = 32;

// What the instance is busy with. A receive, a transmit and a detection each
// need the instrument to themselves, so each begins by moving the one shared
// state from Idle to its own value, and gives up when another holds it.
enum class Activity : uint8_t { Idle, Receiving, Transmitting, Detecting };

struct TransferState {
    // The host's MIDI output, set when the host initialises the plug-in.
    IMPMidiOut* host_link = nullptr;

    std::atomic<bool> abort{false};                                 // set by Cancel
    // The position among an item's loops (item_loops.h); the transfer
    // thread's alone.
    int32_t loop_value = 0;                                         // LoopStart, stepped by LoopIncDec
    int32_t outer_loop_value = 0;                                   // OuterLoopStart, stepped by OuterLoopIncDec
    int32_t loop_index = 0;                                         // the loop among all of the item's loops
    std::atomic<const DRUVTemplate*> current_template{nullptr};     // template being received
    std::atomic<uint8_t*> write_position{nullptr};                  // next free byte of the receive buffer
    std::atomic<int32_t> bytes_received{0};
    std::atomic<uint32_t> space_left{0};                            // all bits set flags an overrun
    std::atomic<bool> data_received{false};
    // Whole SysX messages (ended by their F7) stored in the current loop.
    std::atomic<int32_t> messages_received{0};
    // When the last message of the current loop was stored, for templates
    // that end on a quiet gap; by input_clock, which the transfer thread sets
    // before it opens a receive window.
    std::atomic<uint32_t> last_input_tick{0};
    Clock* input_clock = nullptr;
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

    // A transmit that waits for the instrument's answers publishes the
    // patterns it waits for; the input thread matches incoming SysX against
    // them and leaves the outcome, and an error reply's bytes, here.
    std::atomic<const AckPatterns*> ack_patterns{nullptr};
    std::atomic<AckResult> ack_result{AckResult::None};
    uint8_t ack_reply[kAckReplyBytes] = {};                         // written before Refused is stored
    uint32_t ack_reply_length = 0;
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
