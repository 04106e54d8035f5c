// The ports of the WinMM this runs on. A machine may have none (Wine without
// a sound system has none, or only its MIDI mapper): the test then says so
// and passes. Ports it has must list, open and close without harm.
#include <gtest/gtest.h>

#include <cstdio>

#include "druvhost/ports/winmm/winmm_port_system.h"

namespace {

void Show(const char* kind, const std::vector<std::string>& names) {
    std::printf("%zu MIDI %s(s)%s\n", names.size(), kind, names.empty() ? ": none on this system" : ":");
    for (const std::string& name : names) std::printf("  %s\n", name.c_str());
}

TEST(WinmmSystemPorts, ListAndOpenWhateverThereIs) {
    auto system = druvhost::MakeWinmmPortSystem();
    const auto inputs = system->InputNames();
    const auto outputs = system->OutputNames();
    Show("input", inputs);
    Show("output", outputs);
    std::string error;
    if (!outputs.empty()) {
        auto port = system->OpenOutput(0, error);
        std::printf("output \"%s\": %s\n", outputs[0].c_str(), port ? "opened" : error.c_str());
        EXPECT_TRUE(port || !error.empty());
    }
    if (!inputs.empty()) {
        auto port = system->OpenInput(0, [](const uint8_t*, size_t) {}, error);
        std::printf("input \"%s\": %s\n", inputs[0].c_str(), port ? "opened" : error.c_str());
        EXPECT_TRUE(port || !error.empty());
    }
    EXPECT_FALSE(system->OpenInput(inputs.size(), [](const uint8_t*, size_t) {}, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
