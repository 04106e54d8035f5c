#include "druvhost/cli/command_line.h"

namespace druvhost {

namespace {

struct CommandInfo {
    CommandKind kind;
    const char* name;
    int minOperands;
    int maxOperands;  // -1 for any number
    bool transferOptions;
    const char* help;
};

const CommandInfo kCommands[] = {
    {CommandKind::Install, "install", 1, -1, false,
     "usage: druvhost install FILE...\n"
     "Installs each device definition file (.druv) so that the plug-in can serve it.\n"},
    {CommandKind::Uninstall, "uninstall", 1, -1, false,
     "usage: druvhost uninstall DEVICE...\n"
     "Removes installed devices, each given by its name as `list` shows it\n"
     "(letters in any case) or its class identifier {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.\n"},
    {CommandKind::List, "list", 0, 0, false,
     "usage: druvhost list\n"
     "Lists the installed devices (name, class identifier, definition file and\n"
     "configurations) and the MIDI input and output ports.\n"},
    {CommandKind::Receive, "receive", 1, 1, true,
     "usage: druvhost receive DEVICE --project FILE [--config NAME|NUMBER] [--in PORT]\n"
     "                        [--out PORT] [--id N] [--channel N]\n"
     "Fetches the device's dumps from the instrument and keeps them in the project\n"
     "file (created if missing; other devices in it are kept). Without --in and\n"
     "--out the ports saved in the project are used, else the simulated instrument.\n"
     "  --config   a configuration by name or number as `list` shows it (0 = All)\n"
     "  --in PORT  the MIDI input the instrument answers on (name or number)\n"
     "  --out PORT the MIDI output that reaches the instrument\n"
     "  --id N     the instrument's device ID as the device shows it\n"
     "  --channel N the MIDI channel, 1 to 16\n"
     "Ctrl+C cancels; the project file is then left as it was. So it is when the\n"
     "plug-in reports an error or an item of the configuration gets no dump: the\n"
     "receive then fails (exit status 1) and names each item and what went wrong.\n"},
    {CommandKind::Transmit, "transmit", 1, 1, true,
     "usage: druvhost transmit DEVICE --project FILE [--config NAME|NUMBER] [--in PORT]\n"
     "                         [--out PORT] [--id N] [--channel N]\n"
     "Sends the device's dumps kept in the project file to the instrument.\n"
     "Options as for receive; the project file is never changed. A transmit fails\n"
     "(exit status 1) when the plug-in reports an error or an item without data.\n"},
    {CommandKind::Detect, "detect", 1, 1, true,
     "usage: druvhost detect DEVICE [--project FILE] [--in PORT] [--out PORT] [--id N] [--channel N]\n"
     "Asks the instrument whether it is there; prints online or offline.\n"},
    {CommandKind::Page, "page", 1, 1, true,
     "usage: druvhost page DEVICE [--project FILE] [--in PORT] [--out PORT] [--seconds N]\n"
     "Shows the device's editor page in a window. With --project the settings and\n"
     "dumps are loaded from the project file, and saved back to it when the window\n"
     "closes if anything was changed on the page.\n"
     "  --seconds N closes the window after N seconds (1 to 3600) as Cancel would\n"},
    {CommandKind::Import, "import", 2, 2, true,
     "usage: druvhost import DEVICE FILE.syx --project FILE [--item NAME | --config NAME|NUMBER]\n"
     "Lays the SysX messages of a .syx file into the device's dumps in the project\n"
     "file (created if missing), as a receive would have stored them: into one item\n"
     "with --item (its template's name, letters in any case), else into the items of\n"
     "the configuration (0 or none = All) in the order a receive fills them. A file\n"
     "that does not fill whole loops, holds more than the items take, or whose\n"
     "messages fail an item's checksum is refused (exit status 1) with what the item\n"
     "expects and where the file differs; the project file is then not changed.\n"
     "A later transmit sends the dumps with the instrument's device ID.\n"},
    {CommandKind::Export, "export", 1, 1, true,
     "usage: druvhost export DEVICE --project FILE --out FILE.syx [--item NAME | --config NAME|NUMBER]\n"
     "Writes the device's dumps kept in the project file as SysX messages, in\n"
     "stored order, to one .syx file: one item with --item, else the items of the\n"
     "configuration (0 or none = All). Fails (exit status 1) when an item holds no dump.\n"},
};

// The options import and export take; the transfer options mean nothing there.
bool SyxOption(CommandKind kind, const std::string& option) {
    if (option == "--project" || option == "--item" || option == "--config") return true;
    return kind == CommandKind::Export && option == "--out";
}

const CommandInfo* FindCommand(const std::string& name) {
    for (const CommandInfo& info : kCommands)
        if (name == info.name) return &info;
    return nullptr;
}

const CommandInfo* FindCommand(CommandKind kind) {
    for (const CommandInfo& info : kCommands)
        if (kind == info.kind) return &info;
    return nullptr;
}

bool ParseInt(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 5) return false;
    int number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + (c - '0');
    }
    if (number < low || number > high) return false;
    value = number;
    return true;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line, std::string& error) {
    line = CommandLine();
    if (arguments.empty()) {
        error = "no command given; druvhost --help lists them";
        return false;
    }
    if (arguments[0] == "--help" || arguments[0] == "-h" || arguments[0] == "help") {
        line.help = true;
        if (arguments.size() > 1) {
            const CommandInfo* info = FindCommand(arguments[1]);
            if (info == nullptr) {
                error = "unknown command \"" + arguments[1] + "\"";
                return false;
            }
            line.kind = info->kind;
        }
        return true;
    }
    const CommandInfo* info = FindCommand(arguments[0]);
    if (info == nullptr) {
        error = "unknown command \"" + arguments[0] + "\"; druvhost --help lists them";
        return false;
    }
    line.kind = info->kind;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            line.help = true;
            return true;
        }
        if (argument.size() > 2 && argument.compare(0, 2, "--") == 0) {
            if (!info->transferOptions) {
                error = std::string(info->name) + " takes no option " + argument;
                return false;
            }
            if (i + 1 >= arguments.size()) {
                error = argument + " needs a value";
                return false;
            }
            const bool syx = info->kind == CommandKind::Import || info->kind == CommandKind::Export;
            if (syx && !SyxOption(info->kind, argument)) {
                error = "unknown option " + argument + " for " + info->name;
                return false;
            }
            const std::string& value = arguments[++i];
            int number = 0;
            if (argument == "--project") {
                line.project = value;
            } else if (argument == "--config") {
                line.config = value;
            } else if (argument == "--item") {
                line.item = value;
            } else if (argument == "--out" && info->kind == CommandKind::Export) {
                line.outFile = value;
            } else if (argument == "--in") {
                line.inPort = value;
            } else if (argument == "--out") {
                line.outPort = value;
            } else if (argument == "--id") {
                if (!ParseInt(value, 0, 255, number)) {
                    error = "--id needs a number from 0 to 255, not \"" + value + "\"";
                    return false;
                }
                line.deviceId = number;
            } else if (argument == "--channel") {
                if (!ParseInt(value, 1, 16, number)) {
                    error = "--channel needs a number from 1 to 16, not \"" + value + "\"";
                    return false;
                }
                line.channel = number;
            } else if (argument == "--seconds" && info->kind == CommandKind::Page) {
                if (!ParseInt(value, 1, 3600, number)) {
                    error = "--seconds needs a number from 1 to 3600, not \"" + value + "\"";
                    return false;
                }
                line.seconds = number;
            } else {
                error = "unknown option " + argument + " for " + info->name;
                return false;
            }
            continue;
        }
        line.operands.push_back(argument);
    }
    const int count = static_cast<int>(line.operands.size());
    if (count < info->minOperands) {
        error = std::string(info->name) + " needs " +
                (info->kind == CommandKind::Install  ? "a definition file"
                 : count == 1                        ? "a .syx file after the device"
                                                     : "a device");
        return false;
    }
    if (info->maxOperands >= 0 && count > info->maxOperands) {
        error = std::string(info->name) + " takes " +
                (info->maxOperands == 0   ? std::string("no operands")
                 : info->maxOperands == 2 ? std::string("a device and a file")
                                          : std::string("one device")) +
                ", not \"" +
                line.operands.back() + "\"";
        return false;
    }
    if ((line.kind == CommandKind::Import || line.kind == CommandKind::Export) && !line.item.empty() &&
        !line.config.empty()) {
        error = std::string(info->name) + " takes --item or --config, not both";
        return false;
    }
    if (line.kind == CommandKind::Export && line.outFile.empty()) {
        error = "export needs --out FILE.syx";
        return false;
    }
    if ((line.kind == CommandKind::Receive || line.kind == CommandKind::Transmit || line.kind == CommandKind::Import ||
         line.kind == CommandKind::Export) &&
        line.project.empty()) {
        error = std::string(info->name) + " needs --project FILE";
        return false;
    }
    return true;
}

std::string HelpText(CommandKind kind) {
    if (const CommandInfo* info = FindCommand(kind)) return info->help;
    return "usage: druvhost COMMAND [ARGUMENTS]\n"
           "A small host for the DRUV plug-in: installs device definitions and moves\n"
           "dumps between instruments and project files.\n"
           "Commands:\n"
           "  install FILE...        install device definitions\n"
           "  uninstall DEVICE...    remove installed devices\n"
           "  list                   installed devices and MIDI ports\n"
           "  receive DEVICE --project FILE   fetch dumps into a project file\n"
           "  transmit DEVICE --project FILE  send dumps from a project file\n"
           "  detect DEVICE          whether the instrument answers\n"
           "  page DEVICE            the device's editor page\n"
           "  import DEVICE FILE.syx --project FILE   lay a .syx file into a project's dumps\n"
           "  export DEVICE --project FILE --out FILE.syx   write a project's dumps to a .syx file\n"
           "druvhost COMMAND --help tells more. Exit status: 0 success, 1 failure,\n"
           "2 a command line not understood, 3 cancelled with Ctrl+C.\n";
}

}  // namespace druvhost
