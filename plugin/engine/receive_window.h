// The hand-over between the transfer thread and the MIDI input thread during
// a receive. The input handlers store only while a loop's window is open:
// the transfer thread sets the write position, the count and the space left,
// then publishes the current template, which opens the window. Closing it
// withdraws the template and waits until no handler is still inside, so that
// afterwards the transfer thread alone touches the buffer (the loop's marker)
// and reads final counts. Input outside a loop's window is never stored.
#pragma once

#include <atomic>
#include <cstdint>

class DRUVTemplate;
struct AckPatterns;
struct TransferState;

// The space a loop may fill: its expected size, cut so that the loop's data
// and its closing FF stay inside the buffer that ends at `end` (a message
// that does not fit then counts as an overrun). Never 0 while the buffer has
// room, so that the handlers can still flag an overrun.
uint32_t LoopSpace(int64_t expected, const uint8_t* position, const uint8_t* end);

// Clears the loop's flags (data received, terminator seen) and counts,
// sets the space left and opens the window for `dumpTemplate`.
void OpenReceiveWindow(TransferState& state, const DRUVTemplate& dumpTemplate, uint32_t space);

// Closes the window and returns once no input handler is running.
void CloseReceiveWindow(TransferState& state);

// A transmit's acknowledgement patterns (ack_wait.h) are published like a
// window: withdrawing them returns once no input handler can still use them.
void WithdrawAckPatterns(TransferState& state);

// Counts an input handler as running for its lifetime and gives it the
// template of the open window, or null when none is open, and the
// acknowledgement patterns a transmit waits for, if any.
class InputHandlerScope {
public:
    explicit InputHandlerScope(TransferState& state);
    ~InputHandlerScope();
    InputHandlerScope(const InputHandlerScope&) = delete;
    InputHandlerScope& operator=(const InputHandlerScope&) = delete;

    const DRUVTemplate* OpenTemplate() const { return template_; }
    const AckPatterns* AwaitedAck() const;

private:
    TransferState& state_;
    const DRUVTemplate* template_;
};
