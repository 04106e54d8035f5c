// druv-session: plays a whole session of the plug-in for each device
// definition given, through the test host and simulated instruments, and
// says whether the dumps arrived where they belong.
#include <iostream>

#include "tools/druv_session/session.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: druv-session definition.druv [more.druv ...]\n";
        return 2;
    }
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        const SessionResult result = RunSession(argv[i], std::cout);
        if (!result.completed || !result.identical) ++failures;
        std::cout << "\n";
    }
    std::cout << (failures == 0 ? "every session round-tripped its dumps" : "some sessions failed") << "\n";
    return failures == 0 ? 0 : 1;
}
