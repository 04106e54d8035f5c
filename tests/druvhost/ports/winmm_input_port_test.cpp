#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "druvhost/ports/winmm/winmm_input_port.h"
#include "tests/druvhost/ports/fake_winmm.h"

namespace {

using druvhost::winmm::WinmmInputPort;
using druvhost::winmm::WinmmPortOptions;
using druvhost::winmm::testing::Bytes;
using druvhost::winmm::testing::FakeWinmm;

// What the sink was given, and a bounded wait for it.
class Received {
public:
    druvhost::MidiMessageSink Sink() {
        return [this](const uint8_t* message, size_t size) {
            std::lock_guard<std::mutex> guard(lock_);
            messages_.emplace_back(message, message + size);
            changed_.notify_all();
        };
    }
    std::vector<Bytes> WaitFor(size_t count) {
        std::unique_lock<std::mutex> guard(lock_);
        changed_.wait_for(guard, std::chrono::seconds(5), [&] { return messages_.size() >= count; });
        return messages_;
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<Bytes> messages_;
};

WinmmPortOptions SmallBuffers() {
    WinmmPortOptions options;
    options.inputBufferCount = 4;
    options.inputBufferSize = 64;
    return options;
}

Bytes Reply(size_t size, uint8_t fill) {
    Bytes reply(size, fill);
    reply.front() = 0xF0;
    reply.back() = 0xF7;
    return reply;
}

std::vector<Bytes> Pieces(const Bytes& bytes, size_t size) {
    std::vector<Bytes> pieces;
    for (size_t at = 0; at < bytes.size(); at += size)
        pieces.emplace_back(bytes.begin() + at, bytes.begin() + std::min(at + size, bytes.size()));
    return pieces;
}

struct Opened {
    std::shared_ptr<FakeWinmm> fake = std::make_shared<FakeWinmm>();
    Received received;
    std::unique_ptr<WinmmInputPort> port;

    explicit Opened(const WinmmPortOptions& options = SmallBuffers()) {
        std::string error;
        port = WinmmInputPort::Open(fake, 0, "In", received.Sink(), options, error);
        EXPECT_TRUE(port) << error;
    }
};

TEST(WinmmInputPort, SysXSplitOverThreeBuffersArrivesAsOneMessage) {
    Opened input;
    const Bytes reply = Reply(150, 0x21);  // 64 + 64 + 22 bytes
    for (const Bytes& piece : Pieces(reply, 64)) ASSERT_TRUE(input.fake->FillNextBuffer(piece));
    EXPECT_EQ(std::vector<Bytes>{reply}, input.received.WaitFor(1));
}

// The driver writes into a buffer as soon as it has it back: the port must
// have taken the bytes out first, and must give back every buffer, or input
// stops once the four are used up.
TEST(WinmmInputPort, EveryBufferGoesBackAfterItsBytesAreTaken) {
    Opened input;
    std::vector<Bytes> replies;
    for (uint8_t i = 0; i < 5; ++i) replies.push_back(Reply(200, 0x10 + i));  // 4 buffers each
    for (const Bytes& reply : replies)
        for (const Bytes& piece : Pieces(reply, 64)) ASSERT_TRUE(input.fake->FillNextBuffer(piece));
    EXPECT_EQ(replies, input.received.WaitFor(replies.size()));
    EXPECT_TRUE(input.fake->WaitForQueuedBuffers(4));
    EXPECT_EQ(0u, input.fake->Misuses());
}

TEST(WinmmInputPort, ShortMessagesAndRealtimeArriveWholeInOrder) {
    Opened input;
    input.fake->SendShort(0x00403C90);
    ASSERT_TRUE(input.fake->FillNextBuffer({0xF0, 0x01, 0xF8}));
    input.fake->SendShort(0x000005C1);
    input.fake->SendShort(0x00403C10);  // no status byte: dropped
    ASSERT_TRUE(input.fake->FillNextBuffer({0x02, 0xF7}));
    const std::vector<Bytes> expected = {{0x90, 0x3C, 0x40}, {0xF8}, {0xC1, 0x05}, {0xF0, 0x01, 0x02, 0xF7}};
    EXPECT_EQ(expected, input.received.WaitFor(expected.size()));
    EXPECT_EQ(1u, input.port->Counts().brokenShort);
}

TEST(WinmmInputPort, DropsAndCountsSysXTooLongOrReportedBroken) {
    WinmmPortOptions options = SmallBuffers();
    options.maxSysXSize = 100;
    Opened input(options);
    const Bytes good = Reply(10, 0x33);
    for (const Bytes& piece : Pieces(Reply(101, 0x11), 64)) ASSERT_TRUE(input.fake->FillNextBuffer(piece));
    const Bytes broken = Reply(90, 0x22);
    ASSERT_TRUE(input.fake->FillNextBuffer(Bytes(broken.begin(), broken.begin() + 50)));
    ASSERT_TRUE(input.fake->FillNextBuffer({0x22, 0x22}, MIM_LONGERROR));
    ASSERT_TRUE(input.fake->FillNextBuffer(good));
    EXPECT_EQ(std::vector<Bytes>{good}, input.received.WaitFor(1));
    EXPECT_EQ(1u, input.port->Counts().sysxTooLong);
    EXPECT_EQ(1u, input.port->Counts().sysxBroken);
}

TEST(WinmmInputPort, CloseStopsResetsAndReturnsEveryBufferBeforeClosing) {
    Opened input;
    ASSERT_TRUE(input.fake->FillNextBuffer({0xF0, 0x01}));  // a message in progress
    input.port.reset();
    EXPECT_FALSE(input.fake->InputOpen());
    EXPECT_EQ(0u, input.fake->QueuedInputBuffers());
    EXPECT_EQ(0u, input.fake->PreparedHeaders());
    EXPECT_EQ(0u, input.fake->Misuses());
    std::vector<std::string> ending;
    for (const std::string& call : input.fake->Log())
        if (call != "in-add" && call != "in-prepare" && call != "in-open" && call != "in-start") ending.push_back(call);
    const std::vector<std::string> expected = {"in-stop", "in-reset", "in-unprepare", "in-unprepare",
                                               "in-unprepare", "in-unprepare", "in-close"};
    EXPECT_EQ(expected, ending);
    input.fake->SendShort(0x00403C90);
    EXPECT_EQ(1u, input.fake->CallbacksAfterClose());
    EXPECT_TRUE(input.received.WaitFor(0).empty());
}

// Opening fails at each step in turn: a clear error, and nothing left open.
TEST(WinmmInputPort, FailedOpenSaysWhyAndLeavesNothingOpen) {
    struct Case {
        MMRESULT openResult;
        int failPrepareAt;
        const char* expectedText;
    };
    const std::vector<Case> cases = {
        {MMSYSERR_ALLOCATED, -1, "could not open the MIDI input \"In\": The device is in use. (WinMM error 4)"},
        {MMSYSERR_BADDEVICEID, -1, "could not open the MIDI input \"In\": WinMM error 2"},
        {MMSYSERR_NOERROR, 2, "could not open the MIDI input \"In\": its SysX buffers were refused: WinMM error 7"},
    };
    for (const Case& c : cases) {
        auto fake = std::make_shared<FakeWinmm>();
        fake->inOpenResult = c.openResult;
        fake->failPrepareAt = c.failPrepareAt;
        Received received;
        std::string error;
        EXPECT_FALSE(WinmmInputPort::Open(fake, 0, "In", received.Sink(), SmallBuffers(), error));
        EXPECT_EQ(c.expectedText, error);
        EXPECT_FALSE(fake->InputOpen()) << c.expectedText;
        EXPECT_EQ(0u, fake->PreparedHeaders()) << c.expectedText;
        EXPECT_EQ(0u, fake->Misuses()) << c.expectedText;
    }
}

}  // namespace
