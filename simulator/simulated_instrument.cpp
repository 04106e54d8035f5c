#include "simulator/simulated_instrument.h"

#include <algorithm>

#include "simulator/sysx_checksum.h"

namespace druv::simulator {

namespace {

MemoryGeneratorOptions GeneratorOptionsOf(const SimulatedInstrument::Settings& settings) {
  MemoryGeneratorOptions options;
  options.seed = settings.seed;
  options.deviceId = settings.deviceId;
  options.midiChannel = settings.midiChannel;
  options.messagesPerMultiSysXLoop = settings.messagesPerMultiSysXLoop;
  options.channelMessagesInReplies = settings.channelMessagesInReplies;
  return options;
}

}  // namespace

SimulatedInstrument::SimulatedInstrument(const DRUVDevice& device, Settings settings, Sink sink)
    : SimulatedInstrument(DefinitionFromDevice(device), std::move(settings), std::move(sink)) {}

SimulatedInstrument::SimulatedInstrument(InstrumentDefinition definition, Settings settings, Sink sink)
    : definition_(std::move(definition)),
      settings_(std::move(settings)),
      sink_(std::move(sink)),
      interpreter_(definition_, settings_.deviceId, settings_.midiChannel),
      created_(Clock::now()),
      memory_(GenerateMemory(definition_, GeneratorOptionsOf(settings_))),
      nextLoop_(definition_.templates.size(), 0),
      wireFreeAt_(created_) {
  if (settings_.delivery == Delivery::Threaded) thread_ = std::thread([this] { DeliveryLoop(); });
}

SimulatedInstrument::~SimulatedInstrument() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

std::chrono::microseconds SimulatedInstrument::ByteTime(size_t size) {
  return std::chrono::microseconds(static_cast<int64_t>(size) * 1000000 / kWireBytesPerSecond);
}

uint32_t SimulatedInstrument::Tick() const {
  if (settings_.tickSource) return settings_.tickSource();
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - created_);
  return static_cast<uint32_t>(elapsed.count());
}

void SimulatedInstrument::Receive(const uint8_t* message, size_t size) {
  const uint32_t tick = Tick();  // outside the lock: the tick source is the test's
  const Clock::time_point arrival = Clock::now();
  std::vector<MidiMessage> replies;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    CheckInboundPacing(message, size, arrival);
    replies = Process(message, size, tick);
    if (replies.empty()) return;
    if (settings_.delivery == Delivery::Threaded) {
      Queue(std::move(replies), arrival + replyDelay_);
      return;
    }
  }
  for (const MidiMessage& reply : replies) Deliver(reply);
}

void SimulatedInstrument::Queue(std::vector<MidiMessage> replies, Clock::time_point notBefore) {
  for (MidiMessage& reply : replies) outbox_.push_back({std::move(reply), notBefore});
  wake_.notify_one();
}

size_t SimulatedInstrument::SendPanelDump(size_t templateIndex) {
  std::vector<MidiMessage> messages;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (int loop = 0; loop < memory_.LoopCount(templateIndex); ++loop)
      for (const MidiMessage& message : memory_.Slot(templateIndex, loop)) messages.push_back(message);
    const size_t count = messages.size();
    if (settings_.delivery == Delivery::Threaded) {
      Queue(std::move(messages), Clock::now());
      return count;
    }
  }
  for (const MidiMessage& message : messages) Deliver(message);
  return messages.size();
}

std::vector<MidiMessage> SimulatedInstrument::Acknowledgement(size_t templateIndex, bool refused) {
  if (templateIndex >= definition_.templates.size()) return {};
  const TemplateDefinition& tmpl = definition_.templates[templateIndex];
  MidiMessage answer =
      ConcreteAcknowledgement(definition_, refused ? tmpl.ackErrorPattern : tmpl.ackPattern, settings_.deviceId);
  if (answer.empty()) return {};
  ++counts_.acknowledgements;
  return {answer};
}

void SimulatedInstrument::CheckInboundPacing(const uint8_t* message, size_t size, Clock::time_point arrival) {
  if (inboundWireFreeAt_ && arrival + kArrivalTolerance < *inboundWireFreeAt_) ++counts_.arrivedBeforeWireFree;
  // Channel messages need no wait after them; SysX messages their byte time.
  if (message != nullptr && size > 0 && message[0] == kSysXStart)
    inboundWireFreeAt_ = std::max(arrival, inboundWireFreeAt_.value_or(arrival)) + ByteTime(size);
}

std::vector<MidiMessage> SimulatedInstrument::Process(const uint8_t* message, size_t size, uint32_t tick) {
  if (message == nullptr) size = 0;
  received_.push_back({MidiMessage(message, message + size), tick});
  if (size == 0) {
    ++counts_.malformed;
    return {};
  }
  const Interpretation meaning = interpreter_.Interpret(message, size, memory_, pendingRequest_, lastStoredDump_);
  switch (meaning.kind) {
    case MessageKind::Request:
      return Answer(meaning.templateIndex, meaning.loop);
    case MessageKind::RequestPart:
      ++counts_.requestParts;
      if (meaning.loop) pendingRequest_ = std::make_pair(meaning.templateIndex, *meaning.loop);
      return {};
    case MessageKind::Dump:
      if (settings_.refuseWrites) {
        ++counts_.refusedProtected;
        return Acknowledgement(meaning.templateIndex, true);
      }
      memory_.ReplaceMessage(meaning.templateIndex, *meaning.loop, meaning.messageIndex, MidiMessage(message, message + size));
      lastStoredDump_ = SlotPosition{meaning.templateIndex, *meaning.loop, meaning.messageIndex};
      ++counts_.dumpsStored;
      return Acknowledgement(meaning.templateIndex, false);
    case MessageKind::WrongDeviceId: ++counts_.refusedWrongDeviceId; return {};
    case MessageKind::BadChecksum:
      ++counts_.refusedBadChecksum;
      return meaning.dump ? Acknowledgement(meaning.templateIndex, true) : std::vector<MidiMessage>{};
    case MessageKind::Malformed: ++counts_.malformed; return {};
    case MessageKind::Unrecognised: ++counts_.unrecognised; return {};
  }
  return {};
}

std::vector<MidiMessage> SimulatedInstrument::Answer(size_t templateIndex, std::optional<int> requestedLoop) {
  const int loops = memory_.LoopCount(templateIndex);
  if (lastRequestedTemplate_ != templateIndex) nextLoop_[templateIndex] = 0;
  lastRequestedTemplate_ = templateIndex;
  int loop = nextLoop_[templateIndex];
  if (requestedLoop) loop = *requestedLoop;
  else if (pendingRequest_ && pendingRequest_->first == templateIndex) loop = pendingRequest_->second;
  pendingRequest_.reset();
  nextLoop_[templateIndex] = loops > 0 ? (loop + 1) % loops : 0;

  if (silentFromLoop_ && loop >= *silentFromLoop_) {
    ++counts_.requestsSilenced;
    return {};
  }
  ++counts_.requestsAnswered;
  std::vector<MidiMessage> replies = memory_.Slot(templateIndex, loop);
  const auto terminator = terminators_.find(templateIndex);
  if (terminator != terminators_.end() &&
      (terminator->second.second == TerminatorTiming::AfterEachLoop || loop + 1 == loops))
    replies.push_back(terminator->second.first);
  return replies;
}

void SimulatedInstrument::Deliver(const MidiMessage& message) {
  const uint32_t tick = Tick();
  if (sink_) sink_(message.data(), message.size());
  std::lock_guard<std::mutex> lock(mutex_);
  sent_.push_back({message, tick});
  ++counts_.repliesDelivered;
}

void SimulatedInstrument::DeliveryLoop() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !outbox_.empty(); });
    if (stopping_) return;
    Outgoing next = std::move(outbox_.front());
    outbox_.pop_front();
    delivering_ = true;
    // Whole messages: the last byte has to be on the wire before the host
    // sees any of it.
    const Clock::time_point due = std::max(next.notBefore, wireFreeAt_) + ByteTime(next.bytes.size());
    if (wake_.wait_until(lock, due, [this] { return stopping_; })) return;
    wireFreeAt_ = due;
    lock.unlock();
    Deliver(next.bytes);
    lock.lock();
    delivering_ = false;
    idle_.notify_all();
  }
}

bool SimulatedInstrument::WaitUntilIdle(std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return idle_.wait_for(lock, timeout, [this] { return outbox_.empty() && !delivering_; });
}

void SimulatedInstrument::SetSilent(bool silent) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (silent) silentFromLoop_ = 0;
  else silentFromLoop_.reset();
}

void SimulatedInstrument::SetSilentFromLoop(int loop) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (loop >= 0) silentFromLoop_ = loop;
  else silentFromLoop_.reset();
}

void SimulatedInstrument::SetReplyDelay(std::chrono::milliseconds delay) {
  std::lock_guard<std::mutex> lock(mutex_);
  replyDelay_ = std::max(delay, std::chrono::milliseconds(0));
}

void SimulatedInstrument::SetTerminator(size_t templateIndex, MidiMessage message, TerminatorTiming timing) {
  std::lock_guard<std::mutex> lock(mutex_);
  terminators_[templateIndex] = {std::move(message), timing};
}

void SimulatedInstrument::ClearTerminator(size_t templateIndex) {
  std::lock_guard<std::mutex> lock(mutex_);
  terminators_.erase(templateIndex);
}

void SimulatedInstrument::ResetSequences() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::fill(nextLoop_.begin(), nextLoop_.end(), 0);
  lastRequestedTemplate_.reset();
  pendingRequest_.reset();
  lastStoredDump_.reset();
}

bool SimulatedInstrument::SetSlot(size_t templateIndex, int loop, std::vector<MidiMessage> messages) {
  std::lock_guard<std::mutex> lock(mutex_);
  return memory_.SetSlot(templateIndex, loop, std::move(messages));
}

InstrumentMemory SimulatedInstrument::Memory() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return memory_;
}

std::vector<SimulatedInstrument::LoggedMessage> SimulatedInstrument::Received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

std::vector<SimulatedInstrument::LoggedMessage> SimulatedInstrument::Sent() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return sent_;
}

SimulatedInstrument::Counts SimulatedInstrument::GetCounts() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return counts_;
}

InstrumentMemory MemoryRenewedFor(const SimulatedInstrument& source, uint8_t deviceId) {
  InstrumentMemory memory = source.Memory();
  const InstrumentDefinition& definition = source.Definition();
  for (size_t t = 0; t < memory.TemplateCount(); ++t) {
    for (int loop = 0; loop < memory.LoopCount(t); ++loop) {
      std::vector<MidiMessage> slot = memory.Slot(t, loop);
      for (MidiMessage& message : slot) {
        definition.deviceId.Insert(message.data(), message.size(), deviceId);
        StoreChecksum(definition.templates[t].checksum, message.data(), message.size());
      }
      memory.SetSlot(t, loop, slot);
    }
  }
  return memory;
}

MidiMessage ConcreteAcknowledgement(const InstrumentDefinition& definition, const std::vector<uint8_t>& pattern,
                                    uint8_t deviceId) {
  if (pattern.empty()) return {};
  const bool closed = pattern.size() > 1 && pattern[pattern.size() - 1] == kSysXEnd;
  MidiMessage message(pattern.begin(), pattern.end());
  if (!closed) message.push_back(kSysXEnd);
  message[0] = kSysXStart;
  for (size_t i = 1; i + 1 < message.size(); ++i) message[i] = message[i] == 0xFF ? 0x00 : message[i] & 0x7F;
  definition.deviceId.Insert(message.data(), message.size(), deviceId);
  return message;
}

MidiMessage ConcreteTerminator(const std::vector<uint8_t>& pattern, uint8_t midiChannel) {
  if (pattern.empty()) return {};
  static const uint8_t kClassStatus[8] = {0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0, 0xB0, 0xB0};  // F8..FF
  MidiMessage message = pattern;
  const bool sysx = message[0] == kSysXStart;
  if (sysx && message.size() > 1 && message.back() == kSysXEnd) message.pop_back();
  if (!sysx && message[0] >= 0xF8) message[0] = kClassStatus[message[0] - 0xF8];
  if (!sysx && message[0] >= 0x80 && message[0] <= 0xEF) message[0] = (message[0] & 0xF0) | (midiChannel & 0x0F);
  for (size_t i = 1; i < message.size(); ++i)
    if (message[i] >= 0x80) message[i] = 0x00;
  if (sysx) {
    message.push_back(kSysXEnd);
    return message;
  }
  const int dataBytes = ChannelDataByteCount(message[0]);
  if (dataBytes >= 0) message.resize(static_cast<size_t>(dataBytes) + 1, 0x00);
  return message;
}

}  // namespace druv::simulator
