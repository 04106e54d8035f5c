// The plug-in's per-device transfer working state. The transfer thread, the
// host's MIDI input thread and Cancel share the atomic members (release
// stores, acquire loads); the plain members belong to one thread at a time.
// None of it is ever written to a definition file.
#pragma once

#include <atomic>
#include <cstdint>

struct IMPMidiOut;  // the host's MIDI output (plugin/host)
class DRUVTemplate;

struct TransferState {
    // Set by the plug-in when the host initialises it; the engine sends through it.
    IMPMidiOut* host_link = nullptr;

    std::atomic<bool> abort{false};                                 // set by Cancel
    int32_t loop_value = 0;                                         // LoopStart, stepped by LoopIncDec
    std::atomic<const DRUVTemplate*> current_template{nullptr};     // template being received
    std::atomic<uint8_t*> write_position{nullptr};                  // next free byte of the receive buffer
    std::atomic<int32_t> bytes_received{0};
    std::atomic<uint32_t> space_left{0};                            // all bits set flags an overrun
    std::atomic<bool> data_received{false};
    std::atomic<bool> detect_wait{false};
    std::atomic<bool> reply_seen{false};
    // Input handlers between entry and exit; the transfer thread waits for 0
    // after closing a receive loop, before it touches the buffer itself.
    std::atomic<int32_t> input_handlers_running{0};
    uint32_t detect_deadline = 0;                                   // millisecond tick
};

constexpr uint32_t kReceiveOverrun = 0xFFFFFFFFu;
