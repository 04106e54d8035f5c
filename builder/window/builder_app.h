// The builder program: its window, run until it is closed. No command-line
// arguments, and any number of builders may run side by side.
#pragma once

#include <windows.h>

class CDRUVTemplateBuilderApp {
public:
    // Runs the builder with the resources of `module`, its window shown as
    // `show` asks. The program's exit code.
    int Run(HINSTANCE module, int show = SW_SHOWNORMAL);
};
