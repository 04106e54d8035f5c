// What the viewers (the programs that show a window for screenshots and for a
// look by hand) read from their command line alike, and the ready file they
// write once their window shows.
#pragma once

#include <functional>
#include <string>

struct ViewerOptions {
    std::string definition;  // the one argument not starting with "--", when wanted
    int seconds = 3;         // --seconds N: how long the window stays
    std::string readyFile;   // --ready-file PATH
};

// A viewer's own options: given an argument and the one after it (null at
// the end), returns how many of the two it took: 0 when the argument is not
// one of its own.
using ViewerArgument = std::function<int(const std::string& argument, const char* next)>;

// Reads the arguments after the program's name into `options`, offering each
// to `own` first. False when an argument is unknown, an option lacks its
// value, or `wantsDefinition` and there is no definition (or more than one).
bool ParseViewerOptions(int argc, char** argv, ViewerOptions& options, bool wantsDefinition,
                        const ViewerArgument& own = {});

// Writes `line` as the whole content of `path`; nothing when `path` is empty.
void WriteReadyFile(const std::string& path, const std::string& line);
