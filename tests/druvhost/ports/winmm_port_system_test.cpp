#include <gtest/gtest.h>

#include <memory>

#include "druvhost/ports/winmm/winmm_port_system.h"
#include "tests/druvhost/ports/fake_winmm.h"

namespace {

using druvhost::winmm::WinmmPortOptions;
using druvhost::winmm::WinmmPortSystem;
using druvhost::winmm::testing::FakeWinmm;

TEST(WinmmPortSystem, NamesInUtf8KeepingEveryIndex) {
    auto fake = std::make_shared<FakeWinmm>();
    // 32 units fill the field, with no NUL after them.
    fake->inputNames = {u"Synth\u00E9 \u2605 1", u"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", u"<unreadable>"};
    fake->outputNames = {u"", u"Out \U0001F3B9"};
    WinmmPortSystem system(fake, WinmmPortOptions{});
    EXPECT_EQ((std::vector<std::string>{"Synth\xC3\xA9 \xE2\x98\x85 1", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345",
                                        "MIDI input 3"}),
              system.InputNames());
    EXPECT_EQ((std::vector<std::string>{"MIDI output 1", "Out \xF0\x9F\x8E\xB9"}), system.OutputNames());
}

TEST(WinmmPortSystem, OpeningAPortThatIsNotThereSaysSo) {
    auto fake = std::make_shared<FakeWinmm>();
    fake->inputNames = {u"In"};
    WinmmPortSystem system(fake, WinmmPortOptions{});
    std::string error;
    EXPECT_FALSE(system.OpenOutput(0, error));
    EXPECT_EQ("there is no MIDI output 1: the system has 0", error);
    EXPECT_FALSE(system.OpenInput(1, [](const uint8_t*, size_t) {}, error));
    EXPECT_EQ("there is no MIDI input 2: the system has 1", error);
    EXPECT_TRUE(fake->Log().empty());
}

}  // namespace
