// Export then import gives the same stored bytes, for every configuration of
// every shipped definition: the dumps are received in virtual time from the
// instrument's model (instruments/) or the simulated instrument (examples/),
// exported item by item and per configuration, and imported back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "device/druv_device.h"
#include "druvhost/syx/saved_dumps.h"
#include "druvhost/syx/syx_import.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/transfer_engine.h"
#include "plugin/engine/transfer_state.h"
#include "simulator/profiles/instrument_profile.h"
#include "simulator/simulated_instrument.h"
#include "tests/instruments/panel_actions.h"
#include "tests/instruments/profile_link.h"
#include "tests/support/test_paths.h"

namespace {

// Virtual time a receive may take: all banks of the largest instruments take
// forty minutes of wire time.
constexpr uint32_t kWatchdogMs = 60 * 60 * 1000;

struct Case {
    std::string path;
    bool example = false;
    std::string name;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

std::vector<Case> AllCases() {
    std::vector<Case> cases;
    const std::pair<std::string, bool> folders[] = {{druvtest::InstrumentsDir(), false}, {druvtest::ExamplesDir(), true}};
    for (const auto& [dir, example] : folders) {
        std::vector<std::string> files;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(dir, error))
            if (entry.path().extension() == ".druv") files.push_back(entry.path().string());
        std::sort(files.begin(), files.end());
        for (const std::string& file : files) {
            std::string id;
            for (unsigned char c : std::filesystem::path(file).stem().string()) id += std::isalnum(c) ? char(c) : '_';
            cases.push_back({file, example, id});
        }
    }
    return cases;
}

bool Load(const std::string& path, DRUVDevice& device) {
    ScopedMessageBoxHandler noBoxes([](const MessageBoxRequest&) { return MessageAnswer::Ok; });
    device.SetFilePath(path.c_str());
    return device.LoadDefinition() == 0;
}

// Presses the panel buttons a manual template's prompt asks for.
class Musician : public IMPProgressSink {
public:
    Musician(ProfileLink* link, std::string product) : link_(link), product_(std::move(product)) {}
    virtual ~Musician() = default;
    HRESULT STDMETHODCALLTYPE Progress(void*, uint32_t, uint32_t, const WCHAR* text) override {
        std::string ascii;
        for (const WCHAR* unit = text; unit && *unit; ++unit) ascii += *unit < 0x80 ? static_cast<char>(*unit) : '?';
        texts += "  " + ascii + "\n";
        if (ascii.rfind("MANUAL DUMP!", 0) == 0) {
            pending_ = true;
        } else if (pending_ && link_) {
            // The first text after the prompt names the item: "WAITING FOR name MANUAL DUMP..."
            // or "RECEIVING name, x of y bytes".
            pending_ = false;
            std::string item = ascii;
            const std::string waiting = "WAITING FOR ", manual = " MANUAL DUMP...", receiving = "RECEIVING ";
            if (item.rfind(waiting, 0) == 0 && item.size() > waiting.size() + manual.size())
                item = item.substr(waiting.size(), item.size() - waiting.size() - manual.size());
            else if (item.rfind(receiving, 0) == 0 && item.rfind(", ") != std::string::npos)
                item = item.substr(receiving.size(), item.rfind(", ") - receiving.size());
            if (const char* action = PanelActionFor(product_, item)) link_->Panel(action);
        }
        return S_OK;
    }
    std::string texts;

private:
    ProfileLink* link_;
    std::string product_;
    bool pending_ = false;
};

// The simulated instrument of the examples, answering at once in virtual time.
class SimulatorLink : public StackObject<IMPMidiOut> {
public:
    SimulatorLink(const DRUVDevice& device, TransferState& state, uint8_t id) {
        druv::simulator::SimulatedInstrument::Settings settings;
        settings.deviceId = id;
        settings.delivery = druv::simulator::SimulatedInstrument::Delivery::Synchronous;
        instrument_ = std::make_unique<druv::simulator::SimulatedInstrument>(
            device, settings, [&state](const uint8_t* message, size_t size) {
                if (size > 1 && message[0] == 0xF0) OnSysX(state, false, message + 1, static_cast<uint32_t>(size - 1));
            });
    }
    HRESULT STDMETHODCALLTYPE Send(MPEvent* events, uint32_t count) override {
        // The examples' requests are SysX messages only.
        for (uint32_t i = 0; i < count; ++i) {
            if (events[i].Type != MP_EVENT_SYSX || !events[i].Data.SysX) continue;
            std::vector<uint8_t> wire = {0xF0};
            wire.insert(wire.end(), events[i].Data.SysX, events[i].Data.SysX + events[i].Length);
            instrument_->Receive(wire);
        }
        return S_OK;
    }

private:
    std::unique_ptr<druv::simulator::SimulatedInstrument> instrument_;
};

std::string Hex(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size()) + ", first difference at byte " +
           std::to_string(at);
}

class SyxRoundTrip : public ::testing::TestWithParam<Case> {};

TEST_P(SyxRoundTrip, ExportedDumpsImportBackByteForByte) {
    const Case& c = GetParam();
    DRUVDevice device;
    ASSERT_TRUE(Load(c.path, device)) << c.path;
    ASSERT_GT(device.ConfigurationCount(), 0u) << c.path;
    const uint8_t id = device.SysXChanMin();

    for (size_t configuration = 0; configuration < device.ConfigurationCount(); ++configuration) {
        SCOPED_TRACE("configuration \"" + device.Configuration(configuration)->Name() + "\"");
        VirtualClock clock(10000);
        TransferState state;
        DRUVData data;
        data.SetTransferClock(clock);
        data.BuildFrom(device);
        data.OutPort = 1;
        data.InPort = 2;
        data.DeviceId = id;
        data.Channel = static_cast<uint8_t>(id & 0x0F);
        std::unique_ptr<druv::profiles::InstrumentProfile> profile;
        std::unique_ptr<ProfileLink> profileLink;
        std::unique_ptr<SimulatorLink> simulatorLink;
        if (c.example) {
            simulatorLink = std::make_unique<SimulatorLink>(device, state, id);
            state.host_link = simulatorLink.get();
        } else {
            profile = druv::profiles::MakeProfile(device.Company(), device.Product(), {0, 1});
            ASSERT_TRUE(profile) << "no instrument profile";
            const auto rule = profile->IdRule();
            const uint8_t profileId =
                !rule.present || (id >= rule.min && id <= rule.max) ? id : uint8_t((rule.min & 0xF0) | (id & 0x0F));
            profile = druv::profiles::MakeProfile(device.Company(), device.Product(), {profileId, 0x5A5A});
            profileLink = std::make_unique<ProfileLink>(clock, state);
            profileLink->Connect(profile.get());
            profileLink->SetWatchdog(kWatchdogMs);
            state.host_link = profileLink.get();
        }
        Musician musician(profileLink.get(), device.Product());
        const TransferContext context{device, data, state};
        const uint32_t mask = 1u << configuration;
        ASSERT_TRUE(ReceiveDumps(context, mask, &musician, nullptr)) << musician.texts;

        // The saved bytes a filter would keep, and each selected item's dump.
        std::vector<uint8_t> saved;
        std::string error;
        ASSERT_TRUE(druvhost::ApplyImport(device, druvhost::SyxImport{}, saved, error)) << error;
        std::vector<druvhost::SavedDump> received;
        for (const auto& item : data.Items) {
            if (!item->Selected) continue;
            received.push_back({item->Name(), std::vector<uint8_t>(item->Data(), item->Data() + item->Length.load())});
        }
        ASSERT_FALSE(received.empty());
        for (const druvhost::SavedDump& dump : received) {
            SCOPED_TRACE("item \"" + dump.item + "\"");
            std::vector<uint8_t> syx;
            ASSERT_TRUE(druvhost::AppendStoredMessages(dump.data.data(), dump.data.size(), syx, error)) << error;
            druvhost::SyxFile file;
            const druvhost::SyxReadResult read = druvhost::ParseSyx(syx, file);
            ASSERT_EQ(druvhost::SyxReadError::None, read.error) << read.text;
            const druvhost::SyxImport import = druvhost::PlanItemImport(device, file, dump.item);
            ASSERT_TRUE(import.Fits()) << import.refusal;
            EXPECT_TRUE(import.items[0].stored == dump.data) << Hex(import.items[0].stored, dump.data);
            ASSERT_TRUE(druvhost::ApplyImport(device, import, saved, error)) << error;
        }

        // The whole configuration through the saved bytes: export, import into an empty filter, compare.
        std::vector<uint8_t> syx;
        ASSERT_TRUE(druvhost::ExportConfiguration(device, saved, mask, syx, error)) << error;
        druvhost::SyxFile file;
        ASSERT_EQ(druvhost::SyxReadError::None, druvhost::ParseSyx(syx, file).error);
        std::vector<uint8_t> fresh;
        ASSERT_TRUE(druvhost::ApplyImport(device, druvhost::PlanConfigurationImport(device, file, mask), fresh, error))
            << error;
        std::vector<druvhost::SavedDump> back;
        ASSERT_TRUE(druvhost::ReadSavedDumps(device, fresh, back, error)) << error;
        for (const druvhost::SavedDump& dump : received) {
            auto found = std::find_if(back.begin(), back.end(), [&](const auto& d) { return d.item == dump.item; });
            ASSERT_NE(found, back.end()) << dump.item;
            EXPECT_TRUE(found->data == dump.data) << "item \"" << dump.item << "\": " << Hex(found->data, dump.data);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, SyxRoundTrip, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<Case>& test) { return test.param.name; });

}  // namespace
