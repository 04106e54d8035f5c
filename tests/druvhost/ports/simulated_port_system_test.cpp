// The simulated pair: what goes out on its output reaches the instrument,
// whose replies come in on its input as whole messages until it is closed.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "device/druv_device.h"
#include "druvhost/ports/simulated_port_system.h"
#include "tests/support/test_paths.h"

namespace {

using druv::simulator::SimulatedInstrument;

struct Collected {
    std::mutex mutex;
    std::vector<std::vector<uint8_t>> messages;
    size_t Count() {
        std::lock_guard<std::mutex> lock(mutex);
        return messages.size();
    }
};

TEST(SimulatedPortSystemTest, RequestsOnTheOutputAreAnsweredOnTheInputUntilItCloses) {
    DRUVDevice device;
    device.SetFilePath((druvtest::ExamplesDir() + "/velmora-aster8-synth.druv").c_str());
    ASSERT_EQ(device.LoadDefinition(), 0);
    SimulatedInstrument::Settings settings;
    settings.delivery = SimulatedInstrument::Delivery::Synchronous;
    druvhost::SimulatedPortSystem system(device, settings);
    ASSERT_EQ(system.InputNames(), std::vector<std::string>{druvhost::kSimulatedPortName});

    std::string error;
    Collected collected;
    auto input = system.OpenInput(0, [&](const uint8_t* message, size_t size) {
        std::lock_guard<std::mutex> lock(collected.mutex);
        collected.messages.emplace_back(message, message + size);
    }, error);
    ASSERT_NE(input, nullptr) << error;
    EXPECT_EQ(system.OpenInput(0, [](const uint8_t*, size_t) {}, error), nullptr);
    auto output = system.OpenOutput(0, error);
    ASSERT_NE(output, nullptr) << error;

    const std::vector<uint8_t> request = system.Instrument()->Definition().templates.at(0).request;
    ASSERT_FALSE(request.empty());
    ASSERT_TRUE(output->Send(request.data(), request.size()));
    ASSERT_GT(collected.Count(), 0u);
    for (const auto& message : collected.messages) {
        EXPECT_EQ(message.front(), 0xF0);
        EXPECT_EQ(message.back(), 0xF7);
    }

    const size_t before = collected.Count();
    input.reset();
    output->Send(request.data(), request.size());
    EXPECT_EQ(collected.Count(), before);
    EXPECT_EQ(system.Instrument()->GetCounts().requestsAnswered, 2);
    EXPECT_EQ(system.OpenOutput(1, error), nullptr);
}

}  // namespace
