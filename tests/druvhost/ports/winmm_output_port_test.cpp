#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "druvhost/ports/winmm/winmm_output_port.h"
#include "tests/druvhost/ports/fake_winmm.h"

namespace {

using druvhost::winmm::WinmmOutputPort;
using druvhost::winmm::WinmmPortOptions;
using druvhost::winmm::testing::Bytes;
using druvhost::winmm::testing::FakeWinmm;

WinmmPortOptions ShortLimits() {
    WinmmPortOptions options;
    options.longMessageMargin = std::chrono::milliseconds(150);
    options.bufferReturnWait = std::chrono::milliseconds(150);
    return options;
}

// The default limits unless a test is about them: a busy machine must not
// make the stand-in driver look stuck.
std::unique_ptr<WinmmOutputPort> OpenOn(const std::shared_ptr<FakeWinmm>& fake,
                                        const WinmmPortOptions& options = WinmmPortOptions{}) {
    std::string error;
    auto port = WinmmOutputPort::Open(fake, 0, "Out", options, error);
    EXPECT_TRUE(port) << error;
    return port;
}

TEST(WinmmOutputPort, LongMessagesGoOneAtATimeAndAreFreedOnlyWhenDone) {
    auto fake = std::make_shared<FakeWinmm>();
    auto port = OpenOn(fake);
    std::vector<Bytes> sent;
    for (uint8_t i = 0; i < 3; ++i) {
        Bytes message(300, i);
        message.front() = 0xF0;
        message.back() = 0xF7;
        ASSERT_TRUE(port->Send(message.data(), message.size()));
        sent.push_back(message);
        message.assign(message.size(), 0x7F);  // the caller reuses its bytes at once
    }
    EXPECT_EQ(sent, fake->LongMessagesSent());
    std::vector<std::string> expected = {"out-open"};
    for (int i = 0; i < 3; ++i)
        expected.insert(expected.end(), {"out-prepare", "out-long", "out-done", "out-unprepare"});
    EXPECT_EQ(expected, fake->Log());
    EXPECT_EQ(0u, fake->PreparedHeaders());
    EXPECT_EQ(0u, fake->Misuses());
}

TEST(WinmmOutputPort, SendsShortMessagesPackedAndRefusesWhatIsNotAWholeMessage) {
    auto fake = std::make_shared<FakeWinmm>();
    auto port = OpenOn(fake);
    const std::vector<std::pair<Bytes, bool>> cases = {
        {{0x90, 0x3C, 0x40}, true},
        {{0xC2, 0x05}, true},
        {{0xF8}, true},
        {{0x90, 0x3C}, false},
        {{0x3C, 0x40}, false},
        {{0xF0, 0x01}, false},        // SysX without its end
        {{0xF0, 0x01, 0x90, 0xF7}, false},
        {{}, false},
    };
    for (const auto& [message, accepted] : cases)
        EXPECT_EQ(accepted, port->Send(message.data(), message.size())) << message.size();
    EXPECT_EQ((std::vector<DWORD>{0x00403C90, 0x000005C2, 0x000000F8}), fake->ShortMessagesSent());
    EXPECT_TRUE(fake->LongMessagesSent().empty());

    WinmmPortOptions small;
    small.maxSysXSize = 4;
    std::string error;
    auto limited = WinmmOutputPort::Open(std::make_shared<FakeWinmm>(), 0, "Out", small, error);
    const Bytes tooLong = {0xF0, 1, 2, 3, 0xF7};
    EXPECT_FALSE(limited->Send(tooLong.data(), tooLong.size()));
}

// A driver that does not finish: Send gives up in bounded time and says so,
// and memory the driver still holds is never unprepared or freed under it.
TEST(WinmmOutputPort, ADriverThatNeverFinishesFailsTheSendInBoundedTime) {
    for (auto end : {FakeWinmm::LongEnd::kOnReset, FakeWinmm::LongEnd::kNever}) {
        auto fake = std::make_shared<FakeWinmm>();
        fake->longEnd = end;
        auto port = OpenOn(fake, ShortLimits());
        const Bytes message = {0xF0, 0x01, 0xF7};
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(port->Send(message.data(), message.size()));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
        const bool returned = end == FakeWinmm::LongEnd::kOnReset;
        EXPECT_EQ(returned ? 0u : 1u, port->StrandedCount());
        EXPECT_EQ(returned ? 0u : 1u, fake->PreparedHeaders());
        // Another long message goes out only once the driver has let go.
        EXPECT_FALSE(port->Send(message.data(), message.size()));
        const auto log = fake->Log();
        EXPECT_EQ(returned ? 2 : 1, std::count(log.begin(), log.end(), "out-long"));
        port.reset();
        EXPECT_EQ(0u, fake->Misuses());
        EXPECT_EQ(!returned, fake->OutputOpen());
    }
}

TEST(WinmmOutputPort, FailedOpenSaysWhy) {
    auto fake = std::make_shared<FakeWinmm>();
    fake->outOpenResult = MMSYSERR_ALLOCATED;
    std::string error;
    EXPECT_FALSE(WinmmOutputPort::Open(fake, 0, "Out", ShortLimits(), error));
    EXPECT_EQ("could not open the MIDI output \"Out\": The device is in use. (WinMM error 4)", error);
}

}  // namespace
