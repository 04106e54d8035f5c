// The MIDI ports a host offers the plug-in, whatever provides them: the
// machine's ports (WinMM on Windows) or the built-in pair wired to a
// simulated instrument. The host lists their names in its port directory,
// routes what the plug-in sends on a port to that port's output, and hands
// every whole message that arrives on an input to its input thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace druvhost {

// One whole message as it came in: a short message of one to three bytes,
// or one complete SysX message from F0 to F7, however the system cut it up on
// the way. Called on a thread of the port system, never the caller's.
using MidiMessageSink = std::function<void(const uint8_t* message, size_t size)>;

class MidiOutputPort {
public:
    virtual ~MidiOutputPort() = default;
    // Sends one whole message (short, or SysX from F0 to F7). Returns once
    // the system is done with the bytes, so the caller may reuse them; false
    // when the system refused or failed to send it.
    virtual bool Send(const uint8_t* message, size_t size) = 0;
};

// Input runs from opening until the port is destroyed; the destructor returns
// only after the last call into the sink has returned.
class MidiInputPort {
public:
    virtual ~MidiInputPort() = default;
};

class MidiPortSystem {
public:
    virtual ~MidiPortSystem() = default;
    // Names as the system gives them, UTF-8, in the system's order; the index
    // in this list opens the port.
    virtual std::vector<std::string> InputNames() = 0;
    virtual std::vector<std::string> OutputNames() = 0;
    // Null, with `error` saying why, when the port cannot be opened.
    virtual std::unique_ptr<MidiOutputPort> OpenOutput(size_t index, std::string& error) = 0;
    virtual std::unique_ptr<MidiInputPort> OpenInput(size_t index, MidiMessageSink sink, std::string& error) = 0;
};

}  // namespace druvhost
