#include "druvhost/ports/sysx_assembler.h"

#include <algorithm>

#include "druvhost/ports/midi_message_bytes.h"

namespace druvhost {

namespace {
// Room held ready for a typical reply, so that most messages never reallocate.
constexpr size_t kInitialReserve = 4096;
}  // namespace

SysXAssembler::SysXAssembler(size_t maxMessageSize)
    : maxMessageSize_(std::max<size_t>(maxMessageSize, 2)) {}

void SysXAssembler::Feed(const uint8_t* bytes, size_t size, const Deliver& deliver) {
    if (bytes == nullptr) return;
    for (size_t i = 0; i < size; ++i) Take(bytes[i], deliver);
}

void SysXAssembler::Abort() {
    if (state_ == State::kCollecting) ++counts_.cutShort;
    Drop();
}

void SysXAssembler::Take(uint8_t byte, const Deliver& deliver) {
    if (IsRealtimeByte(byte)) {
        deliver(&byte, 1);
        return;
    }
    if (byte == kSysXStart) {
        Abort();
        Start();
        return;
    }
    switch (state_) {
    case State::kIdle:
        ++counts_.strayBytes;
        return;
    case State::kDiscarding:
        // The rest of a message already counted as too long: swallowed up to
        // its end, or up to whatever status byte breaks it off.
        if (!IsDataByte(byte)) {
            Drop();
            if (byte != kSysXEnd) ++counts_.strayBytes;
        }
        return;
    case State::kCollecting:
        break;
    }
    if (byte == kSysXEnd) {
        message_.push_back(byte);
        deliver(message_.data(), message_.size());
        Drop();
        return;
    }
    if (!IsDataByte(byte)) {
        // Any other status byte ends a SysX message before its F7: the
        // message is incomplete, and the byte belongs to nothing we hold.
        Abort();
        ++counts_.strayBytes;
        return;
    }
    // One byte must stay free for the F7.
    if (message_.size() + 2 > maxMessageSize_) {
        ++counts_.tooLong;
        Drop();
        state_ = State::kDiscarding;
        return;
    }
    message_.push_back(byte);
}

void SysXAssembler::Start() {
    if (message_.capacity() == 0) message_.reserve(std::min(kInitialReserve, maxMessageSize_));
    message_.push_back(kSysXStart);
    state_ = State::kCollecting;
}

void SysXAssembler::Drop() {
    message_.clear();
    // A message near the limit leaves a large block behind; give it back
    // rather than hold it for the life of the port.
    if (message_.capacity() > kInitialReserve) {
        message_.shrink_to_fit();
    }
    state_ = State::kIdle;
}

}  // namespace druvhost
