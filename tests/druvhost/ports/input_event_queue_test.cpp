#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "druvhost/ports/input_event_queue.h"

namespace {

using druvhost::InputEvent;
using druvhost::InputEventQueue;
using std::chrono::milliseconds;

InputEvent Short(uint32_t packed) { return {InputEvent::Kind::kShort, packed, 0}; }
InputEvent Buffer(size_t index) { return {InputEvent::Kind::kBuffer, 0, index}; }

// Short messages may be lost when the queue is full; returned buffers never,
// or the input would run out of them.
TEST(InputEventQueue, FullOfShortMessagesStillTakesEveryBuffer) {
    InputEventQueue queue(2, 3);
    EXPECT_TRUE(queue.Push(Short(1)));
    EXPECT_TRUE(queue.Push(Short(2)));
    EXPECT_FALSE(queue.Push(Short(3)));
    for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(queue.Push(Buffer(i)));
    EXPECT_EQ(1u, queue.DroppedCount());

    std::vector<uint32_t> order;
    while (auto event = queue.Pop(milliseconds(0)))
        order.push_back(event->kind == InputEvent::Kind::kShort ? event->packed : 100 + event->buffer);
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 100, 101, 102}), order);
}

TEST(InputEventQueue, CloseWakesAWaitingThreadAtOnce) {
    InputEventQueue queue(4, 4);
    std::thread closer([&] {
        std::this_thread::sleep_for(milliseconds(20));
        queue.Close();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(queue.Pop(milliseconds(10000)).has_value());
    EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(5000));
    closer.join();
    EXPECT_FALSE(queue.Push(Buffer(0)));
}

}  // namespace
