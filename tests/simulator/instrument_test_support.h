// Shared by the simulator's tests: a sink that keeps what the instrument
// sends, and a small device definition built in code.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "device/druv_device.h"
#include "simulator/midi_bytes.h"

namespace druv::simulator::testing {

class ReplyCollector {
 public:
  struct Reply {
    MidiMessage bytes;
    std::chrono::steady_clock::time_point at;
  };

  void Add(const uint8_t* message, size_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    replies_.push_back({MidiMessage(message, message + size), std::chrono::steady_clock::now()});
    arrived_.notify_all();
  }
  // Bound to the instrument's sink.
  auto Sink() {
    return [this](const uint8_t* message, size_t size) { Add(message, size); };
  }
  std::vector<Reply> Replies() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return replies_;
  }
  std::vector<MidiMessage> Messages() const {
    std::vector<MidiMessage> messages;
    for (const Reply& reply : Replies()) messages.push_back(reply.bytes);
    return messages;
  }
  bool WaitFor(size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] { return replies_.size() >= count; });
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable arrived_;
  std::vector<Reply> replies_;
};

// A device with the ID in the low nybble of byte 2 and three templates:
// 0 "Bulk": one 200-byte dump, two's complement checksum;
// 1 "Patch": four loops of 40 bytes, loop values 10, 12, 14, 16 in F1/F2, sum checksum;
// 2 "Multi": one loop of 101 bytes in several SysX messages, one's complement checksum.
inline std::unique_ptr<DRUVDevice> MakeTestDevice() {
  auto device = std::make_unique<DRUVDevice>();
  device->SetSysXChanOfs(2);
  device->SetSysXChanMax(15);

  DRUVTemplate* bulk = device->AddTemplate("Bulk");
  bulk->SetSize(200);
  bulk->SetRequest("F0 7D 10 01 F7");
  bulk->SetCSumType(kChecksumTwosComplement);
  bulk->SetCSumStart(4);
  bulk->SetCSumLength(194);
  bulk->SetCSumOfs(198);

  DRUVTemplate* patch = device->AddTemplate("Patch");
  patch->SetSize(160);
  patch->SetNumLoops(4);
  patch->SetLoopStart(10);
  patch->SetLoopIncDec(2);
  patch->SetLoopRecvSize(40);
  patch->SetRequest("F0 7D 10 02 F1 F2 F7");
  patch->SetCSumType(kChecksumSum);
  patch->SetCSumStart(1);
  patch->SetCSumLength(37);
  patch->SetCSumOfs(38);

  DRUVTemplate* multi = device->AddTemplate("Multi");
  multi->SetSize(101);
  multi->SetMultiSysX(1);
  multi->SetRequest("F0 7D 10 03 F7");
  multi->SetCSumType(kChecksumOnesComplement);
  multi->SetCSumStart(5);
  multi->SetCSumLength(40);
  multi->SetCSumOfs(48);
  return device;
}

}  // namespace druv::simulator::testing
