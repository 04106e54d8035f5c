// The simulated instrument built from the example definitions.
#include <gtest/gtest.h>

#include <string>

#include "device/druv_device.h"
#include "instrument_test_support.h"
#include "platform/message_box.h"
#include "simulator/simulated_instrument.h"
#include "simulator/sysx_checksum.h"
#include "tests/support/test_paths.h"

namespace druv::simulator {
namespace {

using testing::ReplyCollector;

class ExampleDevice : public ::testing::Test {
 protected:
  // False (after a failure) when the file does not load.
  bool Load(const char* name) {
    ScopedMessageBoxHandler noBoxes([&](const MessageBoxRequest& box) {
      ADD_FAILURE() << "message box: " << (box.text ? box.text : "");
      return MessageAnswer::Ok;
    });
    device_.SetFilePath((druvtest::ExamplesDir() + "/" + name).c_str());
    const int result = device_.LoadDefinition();
    EXPECT_EQ(0, result) << name;
    return result == 0;
  }

  SimulatedInstrument::Settings Settings(uint8_t deviceId) const {
    SimulatedInstrument::Settings settings;
    settings.deviceId = deviceId;
    settings.delivery = SimulatedInstrument::Delivery::Synchronous;
    return settings;
  }

  DRUVDevice device_;
  ReplyCollector replies_;
};

TEST_F(ExampleDevice, MixerAnswersBulkDumpsWithItsIdAndChecksum) {
  ASSERT_TRUE(Load("brindle-koss-sd16-mixer.druv"));
  SimulatedInstrument mixer(device_, Settings(3), replies_.Sink());

  mixer.Receive({0xF0, 0x7D, 0x03, 0x31, 0x11, 0x00, 0xF7});
  mixer.Receive({0xF0, 0x7D, 0x04, 0x31, 0x11, 0x01, 0xF7});  // ID 4: not this mixer
  mixer.Receive({0xF0, 0x7D, 0x03, 0x31, 0x11, 0x01, 0xF7});
  const std::vector<MidiMessage> got = replies_.Messages();
  ASSERT_EQ(2u, got.size());
  const size_t sizes[] = {4104, 264};
  for (size_t t = 0; t < 2; ++t) {
    ASSERT_EQ(sizes[t], got[t].size()) << device_.Template(t)->Name();
    EXPECT_EQ((MidiMessage{0xF0, 0x7D, 0x03, 0x31, 0x11, static_cast<uint8_t>(t)}), MidiMessage(got[t].begin(), got[t].begin() + 6));
    EXPECT_TRUE(IsCompleteSysX(got[t].data(), got[t].size()));
    EXPECT_EQ(ChecksumVerdict::Valid, CheckChecksum(ChecksumRuleOf(*device_.Template(t)), got[t].data(), got[t].size()));
  }
  EXPECT_EQ(1, mixer.GetCounts().refusedWrongDeviceId);
}

TEST_F(ExampleDevice, SynthAnswersEachPatchAndTakesThemAllBack) {
  ASSERT_TRUE(Load("velmora-aster8-synth.druv"));
  const ChecksumRule checksum = ChecksumRuleOf(*device_.Template(1));
  SimulatedInstrument synth(device_, Settings(5), replies_.Sink());

  for (uint8_t patch = 0; patch < 128; ++patch)
    synth.Receive({0xF0, 0x7D, 0x22, 0x05, 0x10, static_cast<uint8_t>(patch >> 4), static_cast<uint8_t>(patch & 0x0F), 0xF7});
  std::vector<MidiMessage> got = replies_.Messages();
  ASSERT_EQ(128u, got.size());
  for (size_t patch = 0; patch < got.size(); ++patch) {
    ASSERT_EQ(129u, got[patch].size()) << "patch " << patch;
    EXPECT_EQ(patch >> 4, got[patch][5]) << "patch " << patch;
    EXPECT_EQ(patch & 0x0F, got[patch][6]) << "patch " << patch;
    EXPECT_EQ(0x05, got[patch][3]);
    EXPECT_EQ(ChecksumVerdict::Valid, CheckChecksum(checksum, got[patch].data(), got[patch].size())) << "patch " << patch;
  }

  // Sent back as a transmit does: each patch changed, then the store command.
  for (size_t patch = 0; patch < got.size(); ++patch) {
    got[patch][40] = static_cast<uint8_t>(patch & 0x7F);
    ASSERT_TRUE(StoreChecksum(checksum, got[patch].data(), got[patch].size()));
    synth.Receive(got[patch]);
    synth.Receive({0xF0, 0x7D, 0x22, 0x05, 0x12, got[patch][5], got[patch][6], 0xF7});
  }
  const SimulatedInstrument::Counts counts = synth.GetCounts();
  EXPECT_EQ(128, counts.dumpsStored);
  EXPECT_EQ(128, counts.unrecognised) << "the store commands";
  const InstrumentMemory memory = synth.Memory();
  for (int patch = 0; patch < 128; ++patch) EXPECT_EQ(got[static_cast<size_t>(patch)], memory.Slot(1, patch)[0]) << "patch " << patch;
  EXPECT_EQ(128u * 130u, memory.StoredForm(1, false).size()) << "129 bytes and FF per patch";
}

}  // namespace
}  // namespace druv::simulator
