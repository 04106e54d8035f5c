// What the plug-in reported during a transfer decides whether druvhost keeps
// a receive and how a transmit ends: any message it showed fails the
// transfer, and so does an item of the chosen configuration that a receive
// left without a dump, whatever the other items hold.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/druv_configuration.h"
#include "device/druv_device.h"
#include "druvhost/cli/transfer_report.h"

namespace {

using druvhost::ReceivedItem;
using Lines = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

const Bytes kDump = {0xF0, 0x7D, 0x01, 0x05, 0xF7, 0xFF};
const Bytes kOlderDump = {0xF0, 0x7D, 0x01, 0x04, 0xF7, 0xFF};
const Bytes kLoopEndsOnly = {0xFF, 0xFF, 0xFF, 0xFF};
const Bytes kPartlySilent = {0xF0, 0x7D, 0x01, 0x05, 0xF7, 0xFF, 0xFF, 0xFF};

const char kMissingBytes[] = "Error, SysX missing bytes (recv=8 request=11). Cancelling...";
const char kOverrun[] = "Error receiving SysX. Data Overrun. Cancelling operation.";
const char kNoInPort[] = "Error! No MIDI IN port assigned";
const char kNoOutPort[] = "Error! No MIDI OUT port assigned";
const char kPrompt[] = "MANUAL DUMP! Trigger the dump when \"WAITING FOR MANUAL DUMP\" appears...";

TEST(TransferReportTest, ProgressIsToldApartFromMessages) {
    struct Case {
        std::string text;
        bool progress;
    } cases[] = {
        {"RECEIVING Patches, 129 of 16512 bytes", true},
        {"RECEIVING , 10 of 10 bytes", true},
        {"TRANSMITTING Setup, 4368 of 4370 bytes", true},
        {"WAITING FOR Panel MANUAL DUMP...", true},
        {kPrompt, true},
        {"", true},
        {"RECEIVING " + std::string(245, 'x'), true},  // cut at 255 characters
        {kMissingBytes, false},
        {kOverrun, false},
        {kNoInPort, false},
        {kNoOutPort, false},
        {"Brindle & Koss SD-16 Digital Mixer Setup - No data present.", false},
        {"receiving is not a status line in lower case", false},
    };
    for (const Case& c : cases) EXPECT_EQ(druvhost::IsProgressText(c.text), c.progress) << c.text;
}

TEST(TransferReportTest, MessagesComeWithTheItemInProgress) {
    const std::vector<druvhost::ReportedMessage> messages = druvhost::ReportedMessages(
        {kNoInPort, "RECEIVING , 10 of 10 bytes", "RECEIVING Global, 0 of 99 bytes", "RECEIVING Global, 71 of 99 bytes",
         "RECEIVING Patches, Bank A, 0 of 99 bytes", kMissingBytes, kPrompt, "WAITING FOR Pads MANUAL DUMP...",
         kOverrun});
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].item, "");
    EXPECT_EQ(messages[0].text, kNoInPort);
    EXPECT_EQ(messages[1].item, "Patches, Bank A");
    EXPECT_EQ(messages[1].text, kMissingBytes);
    EXPECT_EQ(messages[2].item, "Pads");
}

TEST(TransferReportTest, AReceiveIsKeptOnlyWhenNothingWentWrongAndEverySelectedItemHoldsADump) {
    struct Case {
        const char* what;
        Lines texts;
        std::vector<ReceivedItem> selected;
        Lines failures;
    } cases[] = {
        {"everything received",
         {"RECEIVING Global, 0 of 200 bytes", "RECEIVING Global, 72 of 200 bytes",
          "RECEIVING Patches, 72 of 200 bytes"},
         {{"Global", kDump}, {"Patches", kDump}},
         {}},
        {"a bank with silent loops among answered ones",
         {"RECEIVING Patches, 0 of 200 bytes"},
         {{"Patches", kPartlySilent}},
         {}},
        {"a manual dump that came",
         {kPrompt, "WAITING FOR Pads MANUAL DUMP...", "RECEIVING Pads, 6 of 6 bytes"},
         {{"Pads", kDump}},
         {}},
        // The instrument fell silent for the one bank chosen: the other items
        // of the device hold dumps, but they were not part of this receive.
        {"the chosen bank timed out",
         {"RECEIVING Patches, 0 of 200 bytes", "RECEIVING Patches, 0 of 200 bytes"},
         {{"Patches", kLoopEndsOnly}},
         {"Patches: no dump came back (the instrument did not answer its requests)"}},
        {"one of two timed out",
         {"RECEIVING Global, 0 of 200 bytes", "RECEIVING Patches, 0 of 200 bytes"},
         {{"Global", kDump}, {"Patches", Bytes{}}},
         {"Patches: no dump came back (the instrument did not answer its requests)"}},
        // The item may hold its previous dump again; the message fails it.
        {"missing bytes",
         {"RECEIVING Patches, Bank A, 0 of 200 bytes", kMissingBytes},
         {{"Patches, Bank A", kOlderDump}, {"Global", kOlderDump}},
         {std::string("Patches, Bank A: ") + kMissingBytes}},
        {"an overrun, and the receive ended there",
         {"RECEIVING Global, 0 of 200 bytes", kOverrun},
         {{"Global", kLoopEndsOnly}, {"Patches", kLoopEndsOnly}},
         {std::string("Global: ") + kOverrun, "Patches: not received (the receive ended before it)"}},
        {"no MIDI IN port",
         {kNoInPort, "RECEIVING , 10 of 10 bytes"},
         {{"Global", kOlderDump}, {"Patches", kOlderDump}},
         {kNoInPort}},
        {"no MIDI OUT port, nothing received before",
         {kNoOutPort, "RECEIVING , 10 of 10 bytes"},
         {{"Global", Bytes{}}},
         {kNoOutPort, "Global: not received (the receive ended before it)"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(druvhost::ReceiveFailures(c.texts, c.selected), c.failures) << c.what;
    }
}

TEST(TransferReportTest, ATransmitFailsOnAnyMessage) {
    const std::string noData = "Velmora Instruments Aster 8 Synthesizer Global - No data present.";
    struct Case {
        const char* what;
        Lines texts;
        Lines failures;
    } cases[] = {
        {"everything sent", {"TRANSMITTING Global, 71 of 200 bytes", "TRANSMITTING Patches, 200 of 200 bytes"}, {}},
        {"an item without data", {noData, "TRANSMITTING Patches, 129 of 129 bytes"}, {noData}},
        {"no MIDI OUT port", {kNoOutPort, "RECEIVING , 10 of 10 bytes"}, {kNoOutPort}},
    };
    for (const Case& c : cases) EXPECT_EQ(druvhost::TransmitFailures(c.texts), c.failures) << c.what;
}

// The bytes a filter saves: its header (no texts, settings zero) and one
// chunk per item as it keeps them.
Bytes Saved(const std::vector<std::pair<std::string, Bytes>>& items) {
    Bytes bytes = {'D', 'R', 'U', 'V', 0, 0, 0, 0, 1, 0, 0, 0, 0};
    bytes.resize(bytes.size() + 42, 0);
    for (const auto& item : items) {
        bytes.insert(bytes.end(), {'T', 'M', 'P', 'T', 0, 0, 0, 0, static_cast<uint8_t>(item.first.size())});
        bytes.insert(bytes.end(), item.first.begin(), item.first.end());
        const uint32_t length = static_cast<uint32_t>(item.second.size());
        bytes.insert(bytes.end(), {static_cast<uint8_t>(length >> 24), static_cast<uint8_t>(length >> 16),
                                   static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)});
        bytes.insert(bytes.end(), item.second.begin(), item.second.end());
    }
    return bytes;
}

TEST(TransferReportTest, TheSelectedItemsAreTheChosenConfigurationsWithTheirSavedData) {
    DRUVDevice device;
    for (const char* name : {"Global", "Patches", "Drums"}) device.AddTemplate(name);
    device.AddConfiguration("Kits")->AddRef("drums");
    const Bytes saved = Saved({{"Global", kDump}, {"Patches", kOlderDump}, {"Drums", kLoopEndsOnly}});

    const std::vector<ReceivedItem> kits = druvhost::SelectedItems(device, 1, saved);
    ASSERT_EQ(kits.size(), 1u);
    EXPECT_EQ(kits[0].name, "Drums");
    EXPECT_EQ(kits[0].data, kLoopEndsOnly);
    EXPECT_EQ(druvhost::ReceiveFailures({"RECEIVING Drums, 0 of 9 bytes"}, kits),
              Lines{"Drums: no dump came back (the instrument did not answer its requests)"});

    const std::vector<ReceivedItem> all = druvhost::SelectedItems(device, 0, saved);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1].name, "Patches");
    EXPECT_EQ(all[1].data, kOlderDump);
    // Saved bytes without an item's chunk leave that item without data.
    const std::vector<ReceivedItem> cut = druvhost::SelectedItems(device, 0, Saved({{"Global", kDump}}));
    ASSERT_EQ(cut.size(), 3u);
    EXPECT_TRUE(cut[2].data.empty());
}

}  // namespace
