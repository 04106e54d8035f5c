#include "plugin/engine/receive_window.h"

#include <algorithm>
#include <thread>

#include "device/druv_template.h"
#include "plugin/engine/transfer_state.h"

// Closing and entering a handler pair up as a store followed by a load on
// each side (the template, then the handler count, and the other way round).
// Sequentially consistent order guarantees that either the handler sees the
// window closed or the transfer thread sees the handler and waits for it.

uint32_t LoopSpace(int64_t expected, const uint8_t* position, const uint8_t* end) {
    if (!position || position >= end || expected <= 0) return 0;
    int64_t room = end - position;  // one byte of it stays for the FF
    int64_t space = std::min(expected, std::max<int64_t>(room - 1, 1));
    return static_cast<uint32_t>(std::min<int64_t>(space, kReceiveOverrun - 1));
}

void OpenReceiveWindow(TransferState& state, const DRUVTemplate& dumpTemplate, uint32_t space) {
    state.data_received.store(false, std::memory_order_release);
    state.terminator_seen.store(false, std::memory_order_release);
    state.bytes_received.store(0, std::memory_order_release);
    state.messages_received.store(0, std::memory_order_release);
    state.space_left.store(space, std::memory_order_release);
    state.current_template.store(&dumpTemplate, std::memory_order_seq_cst);
}

namespace {

void WaitForHandlers(TransferState& state) {
    // A handler copies one message; it leaves within microseconds.
    while (state.input_handlers_running.load(std::memory_order_seq_cst) != 0) std::this_thread::yield();
}

}  // namespace

void CloseReceiveWindow(TransferState& state) {
    state.current_template.store(nullptr, std::memory_order_seq_cst);
    WaitForHandlers(state);
}

void WithdrawAckPatterns(TransferState& state) {
    state.ack_patterns.store(nullptr, std::memory_order_seq_cst);
    WaitForHandlers(state);
}

InputHandlerScope::InputHandlerScope(TransferState& state) : state_(state) {
    state_.input_handlers_running.fetch_add(1, std::memory_order_seq_cst);
    template_ = state_.current_template.load(std::memory_order_seq_cst);
}

const AckPatterns* InputHandlerScope::AwaitedAck() const {
    return state_.ack_patterns.load(std::memory_order_seq_cst);
}

InputHandlerScope::~InputHandlerScope() { state_.input_handlers_running.fetch_sub(1, std::memory_order_release); }
