// A MIDI instrument in software, standing in for hardware in tests: it
// answers the requests of a device definition's templates from its memory,
// stores dumps sent back to it (answering each with the template's
// acknowledgement, when it has one), refuses messages for another device ID
// or with a bad checksum (answering a refused dump with the template's error
// message), sends a template's dumps unasked as its front panel would, and
// paces its replies to the MIDI wire.
//
// Wiring: whatever the host side sends to the instrument goes to Receive()
// as one whole message (SysX F0..F7, or a channel message of 2 or 3 bytes).
// Replies go to the sink, one whole message per call: in threaded delivery on
// the instrument's own thread, each message no earlier than its byte time
// (3125 bytes per second) after the previous one left the wire; in
// synchronous delivery on the caller's thread before Receive returns, without
// pacing (for tests that run on virtual time).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "simulator/instrument_definition.h"
#include "simulator/instrument_memory.h"
#include "simulator/memory_generator.h"
#include "simulator/message_interpreter.h"
#include "simulator/midi_bytes.h"

class DRUVDevice;

namespace druv::simulator {

// MIDI wire rate: 31250 baud, 10 bits per byte.
constexpr uint32_t kWireBytesPerSecond = 3125;

class SimulatedInstrument {
 public:
  using Sink = std::function<void(const uint8_t* message, size_t size)>;
  using TickSource = std::function<uint32_t()>;

  enum class Delivery { Threaded, Synchronous };
  enum class TerminatorTiming { AfterEachLoop, AfterLastLoop };

  struct Settings {
    uint8_t deviceId = 0;
    uint8_t midiChannel = 0;  // 0..15, for devices that use a MIDI channel
    Delivery delivery = Delivery::Threaded;
    uint64_t seed = 0x5EED;  // memory contents
    int messagesPerMultiSysXLoop = 2;
    bool channelMessagesInReplies = false;  // see MemoryGeneratorOptions
    // Memory protect on: every dump is refused, with the template's error
    // message where it has one.
    bool refuseWrites = false;
    // Ticks stamped on the logs; by default milliseconds since construction.
    TickSource tickSource;
  };

  struct LoggedMessage {
    MidiMessage bytes;
    uint32_t tick = 0;
  };

  struct Counts {
    int requestsAnswered = 0;
    int requestsSilenced = 0;
    int requestParts = 0;
    int dumpsStored = 0;
    int refusedWrongDeviceId = 0;
    int refusedBadChecksum = 0;
    int refusedProtected = 0;  // dumps refused while memory protect was on
    int acknowledgements = 0;  // acknowledge and error messages sent
    int unrecognised = 0;
    int malformed = 0;
    int repliesDelivered = 0;  // messages handed to the sink
    // Messages from the host side that arrived while an earlier SysX message
    // from it could not yet have left the wire (see kArrivalTolerance).
    int arrivedBeforeWireFree = 0;
  };

  // Slack allowed to the host side's pacing, which counts whole milliseconds.
  static constexpr std::chrono::milliseconds kArrivalTolerance{2};

  SimulatedInstrument(const DRUVDevice& device, Settings settings, Sink sink);
  SimulatedInstrument(InstrumentDefinition definition, Settings settings, Sink sink);
  // Stops the delivery thread; replies not yet delivered are dropped. The
  // sink is not called after the destructor returns.
  ~SimulatedInstrument();
  SimulatedInstrument(const SimulatedInstrument&) = delete;
  SimulatedInstrument& operator=(const SimulatedInstrument&) = delete;

  // One whole message from the host side. Safe from any thread; the sink
  // may call it again (synchronous delivery calls the sink without locks).
  void Receive(const uint8_t* message, size_t size);
  void Receive(const MidiMessage& message) { Receive(message.data(), message.size()); }

  // Silence for time-out tests: nothing at all, or loops before `loop` only
  // (a negative value answers every loop again).
  void SetSilent(bool silent);
  void SetSilentFromLoop(int loop);
  // Threaded delivery: time between a request's arrival and its first reply.
  void SetReplyDelay(std::chrono::milliseconds delay);
  // A message sent after the replies of a template's loops (for example
  // ConcreteTerminator of its Terminator pattern).
  void SetTerminator(size_t templateIndex, MidiMessage message, TerminatorTiming timing);
  void ClearTerminator(size_t templateIndex);
  // The front panel's dump of a template: every loop's messages, unasked.
  // Returns how many messages were queued.
  size_t SendPanelDump(size_t templateIndex);
  // Requests without a loop value are answered loop after loop; dumps without
  // one fill slot after slot. This starts both sequences again.
  void ResetSequences();

  bool SetSlot(size_t templateIndex, int loop, std::vector<MidiMessage> messages);
  InstrumentMemory Memory() const;
  const InstrumentDefinition& Definition() const { return definition_; }
  uint8_t DeviceId() const { return settings_.deviceId; }

  std::vector<LoggedMessage> Received() const;
  std::vector<LoggedMessage> Sent() const;
  Counts GetCounts() const;

  // Waits until every queued reply has been delivered; false on time-out.
  bool WaitUntilIdle(std::chrono::milliseconds timeout) const;

  // The time a message of `size` bytes takes on the wire.
  static std::chrono::microseconds ByteTime(size_t size);

 private:
  using Clock = std::chrono::steady_clock;

  struct Outgoing {
    MidiMessage bytes;
    Clock::time_point notBefore;
  };

  uint32_t Tick() const;
  void CheckInboundPacing(const uint8_t* message, size_t size, Clock::time_point arrival);
  std::vector<MidiMessage> Process(const uint8_t* message, size_t size, uint32_t tick);
  std::vector<MidiMessage> Answer(size_t templateIndex, std::optional<int> requestedLoop);
  std::vector<MidiMessage> Acknowledgement(size_t templateIndex, bool refused);
  void Queue(std::vector<MidiMessage> replies, Clock::time_point notBefore);
  void DeliveryLoop();
  void Deliver(const MidiMessage& message);

  const InstrumentDefinition definition_;
  const Settings settings_;
  const Sink sink_;
  const MessageInterpreter interpreter_;
  const Clock::time_point created_;

  mutable std::mutex mutex_;
  mutable std::condition_variable wake_;  // the delivery thread: work or stop
  mutable std::condition_variable idle_;  // WaitUntilIdle
  InstrumentMemory memory_;
  std::vector<LoggedMessage> received_;
  std::vector<LoggedMessage> sent_;
  Counts counts_;
  std::optional<int> silentFromLoop_;
  std::chrono::milliseconds replyDelay_{0};
  std::map<size_t, std::pair<MidiMessage, TerminatorTiming>> terminators_;
  std::optional<std::pair<size_t, int>> pendingRequest_;
  std::optional<size_t> lastRequestedTemplate_;
  std::vector<int> nextLoop_;
  std::optional<SlotPosition> lastStoredDump_;
  std::deque<Outgoing> outbox_;
  bool delivering_ = false;
  bool stopping_ = false;
  Clock::time_point wireFreeAt_;
  std::optional<Clock::time_point> inboundWireFreeAt_;  // end of the last SysX from the host side
  std::thread thread_;  // last: started once everything above is set up
};

// The message an instrument with `deviceId` sends for an acknowledgement
// pattern: FF (any byte) becomes 00, the device ID goes in as in every
// message, and the message ends with F7. Empty for an empty pattern.
MidiMessage ConcreteAcknowledgement(const InstrumentDefinition& definition, const std::vector<uint8_t>& pattern,
                                    uint8_t deviceId);

// A concrete message that matches a terminator pattern: class bytes (F8..FF)
// become a status on `midiChannel` or the data byte 00; a SysX pattern is
// closed with F7, a channel pattern cut or padded to its message length.
MidiMessage ConcreteTerminator(const std::vector<uint8_t>& pattern, uint8_t midiChannel);

// What an instrument set to `deviceId` holds after receiving all of
// `source`'s dumps: each message with that ID and its checksum computed anew.
InstrumentMemory MemoryRenewedFor(const SimulatedInstrument& source, uint8_t deviceId);

}  // namespace druv::simulator
