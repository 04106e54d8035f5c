// druvhost's command line: which command, its arguments and options, and the
// help texts. Parsing never touches the system.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace druvhost {

enum class CommandKind { None, Install, Uninstall, List, Receive, Transmit, Detect, Page, Import, Export };

struct CommandLine {
    CommandKind kind = CommandKind::None;
    bool help = false;                  // --help, for the program or the command
    std::vector<std::string> operands;  // files, devices
    std::string project;
    std::string config;
    std::string inPort;
    std::string outPort;
    std::string item;                   // import and export: one item instead of a configuration
    std::string outFile;                // export: the .syx file written (its --out)
    std::optional<int> deviceId;        // as the device shows it
    std::optional<int> channel;         // 1 to 16
    std::optional<int> seconds;         // page only: the frame closes by itself after this long
};

// `arguments` without the program's name. False with `error` for anything
// it cannot take (unknown command or option, a missing or bad value, a
// missing operand).
bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line, std::string& error);

// The program's help (kind None) or a command's.
std::string HelpText(CommandKind kind);

// Exit statuses.
constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;     // the command ran and failed
constexpr int kExitUsage = 2;       // the command line was not understood
constexpr int kExitCancelled = 3;   // Ctrl+C ended a transfer

}  // namespace druvhost
