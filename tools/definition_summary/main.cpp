// druv-inspect FILE...: reads each device definition and prints a summary
// and the warnings an author would want. Exit code 1 when a file does not
// parse, 2 without arguments, 0 otherwise.
#include <cstdio>
#include <iostream>

#include "device/druv_device.h"
#include "platform/message_box.h"
#include "tools/definition_summary/device_summary.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: druv-inspect FILE.druv...\n");
        return 2;
    }
    // A command-line tool reports on its error stream, never in a window.
    ScopedMessageBoxHandler to_stderr([](const MessageBoxRequest& box) {
        std::fprintf(stderr, "%s", box.text);
        return MessageAnswer::Ok;
    });
    int result = 0;
    for (int i = 1; i < argc; ++i) {
        DRUVDevice device;
        device.SetFilePath(argv[i]);
        std::cout << device.FilePath() << "\n";
        if (device.LoadDefinition() != 0) {
            std::cout << "  does not parse\n";
            result = 1;
            continue;
        }
        WriteDefinitionSummary(device, std::cout);
        const auto warnings = DefinitionWarnings(device);
        std::cout << "  Warnings: " << (warnings.empty() ? "none" : "") << "\n";
        for (const auto& warning : warnings) std::cout << "    " << warning << "\n";
    }
    return result;
}
