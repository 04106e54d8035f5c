// The command line: what each command takes, and every way of getting it
// wrong gives a reason instead of a command that runs with a default.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "druvhost/cli/command_line.h"

namespace {

using druvhost::CommandKind;
using druvhost::CommandLine;
using Arguments = std::vector<std::string>;

CommandLine Parsed(const Arguments& arguments) {
    CommandLine line;
    std::string error;
    EXPECT_TRUE(druvhost::ParseCommandLine(arguments, line, error)) << error;
    return line;
}

TEST(CommandLineTest, TransferOptionsAreTakenWithTheirValues) {
    const CommandLine line = Parsed({"receive", "Brindle Koss SD-16", "--project", "my song.dhp", "--config", "2",
                                     "--in", "1", "--out", "DRUV Simulated Instrument", "--id", "17", "--channel",
                                     "16"});
    EXPECT_EQ(line.kind, CommandKind::Receive);
    EXPECT_EQ(line.operands, Arguments{"Brindle Koss SD-16"});
    EXPECT_EQ(line.project, "my song.dhp");
    EXPECT_EQ(line.config, "2");
    EXPECT_EQ(line.inPort, "1");
    EXPECT_EQ(line.outPort, "DRUV Simulated Instrument");
    EXPECT_EQ(line.deviceId, 17);
    EXPECT_EQ(line.channel, 16);
    EXPECT_TRUE(Parsed({"transmit", "--help"}).help);
    EXPECT_EQ(Parsed({"transmit", "--help"}).kind, CommandKind::Transmit);
    EXPECT_EQ(Parsed({"install", "a.druv", "b c.druv"}).operands, (Arguments{"a.druv", "b c.druv"}));
    EXPECT_EQ(Parsed({"page", "X", "--seconds", "3"}).seconds, 3);
    EXPECT_FALSE(Parsed({"page", "X"}).seconds.has_value());
}

TEST(CommandLineTest, SyxCommandsTakeTheirFileItemAndConfiguration) {
    const CommandLine in = Parsed({"import", "TX7", "bank.syx", "--project", "p.dhp", "--item", "All Voices"});
    EXPECT_EQ(in.kind, CommandKind::Import);
    EXPECT_EQ(in.operands, (Arguments{"TX7", "bank.syx"}));
    EXPECT_EQ(in.item, "All Voices");
    const CommandLine out = Parsed({"export", "TX7", "--project", "p.dhp", "--out", "bank.syx", "--config", "2"});
    EXPECT_EQ(out.kind, CommandKind::Export);
    EXPECT_EQ(out.outFile, "bank.syx");
    EXPECT_EQ(out.outPort, "");
    EXPECT_EQ(out.config, "2");
}

TEST(CommandLineTest, MistakesAreRefusedWithAReason) {
    struct Case {
        Arguments arguments;
        const char* reason;
    };
    const Case cases[] = {
        {{}, "no command"},
        {{"recieve", "X"}, "unknown command"},
        {{"install"}, "needs a definition file"},
        {{"receive", "X"}, "needs --project"},
        {{"transmit", "X", "--project"}, "needs a value"},
        {{"receive", "X", "--project", "p", "--id", "256"}, "0 to 255"},
        {{"receive", "X", "--project", "p", "--id", "-1"}, "0 to 255"},
        {{"receive", "X", "--project", "p", "--channel", "0"}, "1 to 16"},
        {{"receive", "X", "--project", "p", "--channel", "17"}, "1 to 16"},
        {{"receive", "X", "--project", "p", "--speed", "2"}, "unknown option"},
        {{"receive", "X", "Y", "--project", "p"}, "one device"},
        {{"list", "extra"}, "no operands"},
        {{"install", "--project", "p", "a.druv"}, "takes no option"},
        {{"page", "X", "--seconds", "0"}, "1 to 3600"},
        {{"receive", "X", "--project", "p", "--seconds", "3"}, "unknown option"},
        {{"import", "X"}, "needs a .syx file"},
        {{"import", "X", "a.syx"}, "needs --project"},
        {{"import", "X", "a.syx", "b.syx", "--project", "p"}, "a device and a file"},
        {{"import", "X", "a.syx", "--project", "p", "--out", "c.syx"}, "unknown option --out"},
        {{"import", "X", "a.syx", "--project", "p", "--id", "3"}, "unknown option --id"},
        {{"import", "X", "a.syx", "--project", "p", "--item", "A", "--config", "1"}, "not both"},
        {{"export", "X", "--project", "p"}, "needs --out"},
        {{"export", "X", "--out", "c.syx"}, "needs --project"},
    };
    for (const Case& c : cases) {
        CommandLine line;
        std::string error;
        EXPECT_FALSE(druvhost::ParseCommandLine(c.arguments, line, error)) << c.reason;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
}

}  // namespace
