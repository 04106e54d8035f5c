// Which commands the window offers in which state, and that every command
// has its text.
#include <gtest/gtest.h>

#include <set>

#include "windowhost/core/host_commands.h"

namespace {

using windowhost::HostCommand;
using windowhost::HostState;

HostState Idle() {
    HostState state;
    state.instrumentSelected = true;
    state.selectedHoldsDumps = true;
    state.instruments = 2;
    return state;
}

TEST(HostCommandsTest, EnablingFollowsTheState) {
    HostState running = Idle();
    running.transferRunning = true;
    HostState empty = Idle();
    empty.selectedHoldsDumps = false;
    HostState none;
    HostState syx = Idle();
    syx.syxFiles = true;
    struct Case {
        const char* state;
        HostState value;
        std::set<HostCommand> enabled;
    };
    const std::set<HostCommand> always = {HostCommand::Exit, HostCommand::Manual, HostCommand::About};
    auto with = [&](std::set<HostCommand> more) {
        more.insert(always.begin(), always.end());
        return more;
    };
    const std::set<HostCommand> files = {HostCommand::New, HostCommand::Open, HostCommand::OpenRecent,
                                         HostCommand::Save, HostCommand::SaveAs};
    auto plus = [&](std::set<HostCommand> more) {
        more.insert(files.begin(), files.end());
        return with(more);
    };
    const Case cases[] = {
        {"idle", Idle(), plus({HostCommand::Receive, HostCommand::Transmit, HostCommand::BackUpAll,
                               HostCommand::Detect})},
        {"running", running, with({HostCommand::Cancel})},
        {"nothing to transmit", empty, plus({HostCommand::Receive, HostCommand::BackUpAll, HostCommand::Detect})},
        {"no instruments", none, plus({})},
        {"with .syx files", syx, plus({HostCommand::Receive, HostCommand::Transmit, HostCommand::BackUpAll,
                                       HostCommand::Detect, HostCommand::ImportSyx, HostCommand::ExportSyx})},
    };
    for (const Case& c : cases)
        for (const windowhost::HostCommandText& text : windowhost::HostCommandTexts())
            EXPECT_EQ(windowhost::IsEnabled(text.command, c.value), c.enabled.count(text.command) == 1)
                << c.state << ": " << text.toolTip;
}

TEST(HostCommandsTest, EveryCommandHasItsTextOnce) {
    std::set<HostCommand> seen;
    for (const windowhost::HostCommandText& text : windowhost::HostCommandTexts()) {
        EXPECT_TRUE(seen.insert(text.command).second) << text.toolTip;
        EXPECT_NE(std::string(text.toolTip), "");
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(HostCommand::About) + 1);
    EXPECT_EQ(std::string(windowhost::TextOf(HostCommand::Receive).menuText), "&Receive\tF5");
}

}  // namespace
