// The detection probe of every instrument definition, answered by the model
// of its instrument in virtual time: the page shows "Online" only if a reply
// arrives before the probe's deadline, and a probe that a unit ignores, or
// that waits for a reply after its own pauses have used up the deadline,
// would show a connected instrument as offline.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "device/druv_device.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/transfer_engine.h"
#include "plugin/engine/transfer_state.h"
#include "simulator/profiles/instrument_profile.h"
#include "tests/instruments/profile_link.h"
#include "tests/support/test_paths.h"

namespace {

using druv::profiles::InstrumentProfile;

std::string InstrumentsDir() { return druvtest::InstrumentsDir(); }

std::vector<std::string> DefinitionFiles() {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(InstrumentsDir(), error))
        if (entry.path().extension() == ".druv") files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    if (files.empty()) files.push_back("");
    return files;
}

bool LoadQuietly(const std::string& file, DRUVDevice& device) {
    ScopedMessageBoxHandler noBoxes([](const MessageBoxRequest&) { return MessageAnswer::Ok; });
    device.SetFilePath((InstrumentsDir() + "/" + file).c_str());
    return device.LoadDefinition() == 0;
}

// What one probe came to, played as the page plays it: the probe goes out,
// then the page looks every 20 milliseconds until a reply was seen or the
// deadline has passed.
struct ProbeResult {
    DetectStart start = DetectStart::NoProbe;
    bool answered = false;
    int refused = 0;
    std::vector<std::string> reasons;
};

ProbeResult Probe(const DRUVDevice& device, InstrumentProfile* unit, uint8_t deviceId) {
    VirtualClock clock(50000);
    TransferState state;
    DRUVData data;
    data.SetTransferClock(clock);
    data.BuildFrom(device);
    data.OutPort = 1;
    data.InPort = 2;
    data.DeviceId = deviceId;
    data.Channel = static_cast<uint8_t>(deviceId & 0x0F);
    ProfileLink link(clock, state);
    state.host_link = &link;
    link.Connect(unit);
    const TransferContext context{device, data, state};

    ProbeResult result;
    result.start = StartDetect(context);
    if (result.start != DetectStart::Sent) return result;
    while (TickIsAfter(state.detect_deadline, clock.TickCount()) && !state.reply_seen.load()) clock.Sleep(20);
    // A reply counts only if the page sees it before the deadline passes.
    result.answered = state.reply_seen.load() && TickIsAfter(state.detect_deadline, clock.TickCount());
    EndActivity(state, Activity::Detecting);
    if (unit) {
        result.refused = unit->Refused();
        result.reasons = unit->RefusalReasons();
    }
    return result;
}

// The device ID the instrument is set to for a definition's ID: the same
// number, or for units whose ID byte keeps a high nibble that nibble with the
// ID's low bits.
uint8_t UnitIdFor(const InstrumentProfile& profile, uint8_t id) {
    const druv::profiles::DeviceIdRule rule = profile.IdRule();
    if (!rule.present || (id >= rule.min && id <= rule.max)) return id;
    return static_cast<uint8_t>((rule.min & 0xF0) | (id & 0x0F));
}

class InstrumentDetection : public ::testing::TestWithParam<std::string> {};

TEST_P(InstrumentDetection, ItsInstrumentAnswersTheProbeBeforeTheDeadline) {
    const std::string& file = GetParam();
    ASSERT_FALSE(file.empty()) << "no definitions in " << InstrumentsDir();
    DRUVDevice device;
    ASSERT_TRUE(LoadQuietly(file, device)) << file;
    if (!FindDetectTemplate(device)) GTEST_SKIP() << file << " has no template to detect the instrument with";

    const bool hasId = device.SysXChanOfs() != 0;
    const uint8_t id = hasId && device.SysXChanMin() < device.SysXChanMax() ? device.SysXChanMin() + 1
                                                                              : device.SysXChanMin();
    std::unique_ptr<InstrumentProfile> probe = druv::profiles::MakeProfile(device.Company(), device.Product(), {0, 1});
    ASSERT_TRUE(probe) << "no instrument profile for " << device.Company() << " " << device.Product();
    std::unique_ptr<InstrumentProfile> unit =
        druv::profiles::MakeProfile(device.Company(), device.Product(), {UnitIdFor(*probe, id), 0xD37EC7});

    const ProbeResult present = Probe(device, unit.get(), id);
    ASSERT_EQ(DetectStart::Sent, present.start) << file;
    EXPECT_TRUE(present.answered) << file << ": the instrument's reply came after the deadline, or none came";
    EXPECT_EQ(0, present.refused) << file << ": the instrument refused the probe: "
                                  << (present.reasons.empty() ? "" : present.reasons.front());

    // Nothing on the port: the same probe must not find an instrument.
    const ProbeResult absent = Probe(device, nullptr, id);
    ASSERT_EQ(DetectStart::Sent, absent.start) << file;
    EXPECT_FALSE(absent.answered) << file << ": a silent port counted as an answer";
}

INSTANTIATE_TEST_SUITE_P(All, InstrumentDetection, ::testing::ValuesIn(DefinitionFiles()),
                         [](const ::testing::TestParamInfo<std::string>& test) {
                             std::string id;
                             for (unsigned char c : test.param) id += std::isalnum(c) ? static_cast<char>(c) : '_';
                             return id.empty() ? std::string("none") : id;
                         });

}  // namespace
