#include "tests/support/viewer_options.h"

#include <cstdio>
#include <cstdlib>

bool ParseViewerOptions(int argc, char** argv, ViewerOptions& options, bool wantsDefinition,
                        const ViewerArgument& own) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const int taken = own ? own(argument, i + 1 < argc ? argv[i + 1] : nullptr) : 0;
        if (taken > 0) {
            i += taken - 1;
        } else if (argument == "--seconds" && i + 1 < argc) {
            options.seconds = std::atoi(argv[++i]);
        } else if (argument == "--ready-file" && i + 1 < argc) {
            options.readyFile = argv[++i];
        } else if (wantsDefinition && options.definition.empty() && argument.rfind("--", 0) != 0) {
            options.definition = argument;
        } else {
            return false;
        }
    }
    return !wantsDefinition || !options.definition.empty();
}

void WriteReadyFile(const std::string& path, const std::string& line) {
    if (path.empty()) return;
    if (FILE* file = std::fopen(path.c_str(), "w")) {
        std::fputs(line.c_str(), file);
        std::fclose(file);
    }
}
