// Joins the pieces of SysX messages as an input delivers them (buffer by
// buffer, cut wherever the buffer ran full) into whole messages F0 .. F7.
// What arrives is bad input until proven otherwise: bytes outside a message
// are dropped and counted, a message that another status byte breaks off is
// dropped, and one that outgrows the size limit is dropped without the held
// bytes ever growing past that limit. Realtime bytes (F8..FF) may arrive in
// the middle of a message; they are passed on at once as messages of their
// own and kept out of the SysX. Used by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace druvhost {

constexpr size_t kDefaultMaxSysXSize = size_t{1} << 20;

struct SysXAssemblerCounts {
    size_t tooLong = 0;     // messages dropped for outgrowing the limit
    size_t cutShort = 0;    // messages broken off by a status byte or Abort
    size_t strayBytes = 0;  // bytes outside any message, dropped
};

class SysXAssembler {
public:
    using Deliver = std::function<void(const uint8_t* message, size_t size)>;

    // `maxMessageSize` counts the whole message, F0 and F7 included.
    explicit SysXAssembler(size_t maxMessageSize = kDefaultMaxSysXSize);

    // Takes the next `size` bytes of the input; calls `deliver` for each whole
    // SysX message they complete and for each realtime byte among them, in
    // the order they arrived.
    void Feed(const uint8_t* bytes, size_t size, const Deliver& deliver);

    // Drops the message in progress, if any: the system reported it broken,
    // or input stops.
    void Abort();

    bool InMessage() const { return state_ != State::kIdle; }
    const SysXAssemblerCounts& Counts() const { return counts_; }

private:
    enum class State { kIdle, kCollecting, kDiscarding };

    void Take(uint8_t byte, const Deliver& deliver);
    void Start();
    void Drop();

    size_t maxMessageSize_;
    State state_ = State::kIdle;
    std::vector<uint8_t> message_;
    SysXAssemblerCounts counts_;
};

}  // namespace druvhost
