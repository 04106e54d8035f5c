// Every instrument definition in instruments/, for each of its
// configurations, received from an independent model of its instrument in
// virtual time, checked, and sent back to a second unit with another device
// ID. A failure names the instrument and the configuration.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "device/druv_device.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/transfer_engine.h"
#include "plugin/engine/transfer_state.h"
#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/profile_bytes.h"
#include "tests/instruments/panel_actions.h"
#include "tests/instruments/profile_link.h"
#include "tools/definition_summary/device_summary.h"
#include "tests/support/test_paths.h"

namespace {

using druv::profiles::Bytes;
using druv::profiles::DumpCheck;
using druv::profiles::InstrumentProfile;
using druv::profiles::ProfileSettings;

// Virtual time after which a transfer counts as hanging: beyond the longest
// receive (all banks of the largest instruments take 40 minutes of wire time).
constexpr uint32_t kWatchdogMs = 60 * 60 * 1000;

std::string InstrumentsDir() { return druvtest::InstrumentsDir(); }

std::vector<std::string> DefinitionFiles() {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(InstrumentsDir(), error))
        if (entry.path().extension() == ".druv") files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    return files;
}

// Loads a definition; every message box is a failure, described in `boxes`.
bool LoadDefinition(const std::string& file, DRUVDevice& device, std::string* boxes) {
    ScopedMessageBoxHandler noBoxes([&](const MessageBoxRequest& box) {
        if (boxes) *boxes += std::string("message box: ") + (box.text ? box.text : "") + "\n";
        return MessageAnswer::Ok;
    });
    device.SetFilePath((InstrumentsDir() + "/" + file).c_str());
    return device.LoadDefinition() == 0;
}

struct Case {
    std::string file;
    int configuration = -1;  // -1: the definition did not load or has none
    std::string name;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

std::string Identifier(const std::string& text) {
    std::string id;
    for (unsigned char c : text) id += std::isalnum(c) ? static_cast<char>(c) : '_';
    return id;
}

std::vector<Case> AllCases() {
    std::vector<Case> cases;
    for (const std::string& file : DefinitionFiles()) {
        DRUVDevice device;
        std::string boxes;
        const bool loaded = LoadDefinition(file, device, &boxes);
        const std::string instrument = Identifier(file.substr(0, file.size() - 5));
        if (!loaded || device.ConfigurationCount() == 0) {
            cases.push_back({file, -1, instrument + "_unusable"});
            continue;
        }
        for (size_t i = 0; i < device.ConfigurationCount(); ++i)
            cases.push_back({file, static_cast<int>(i),
                             instrument + "_" + std::to_string(i) + "_" + Identifier(device.Configuration(i)->Name())});
    }
    if (cases.empty()) cases.push_back({"", -1, "no_definitions"});
    return cases;
}

// The device ID a profile expects when the definition's ID is `id`: the same
// number, or for units whose ID byte keeps a high nibble (Roland's 1n) that
// nibble with `id`'s low bits.
uint8_t ProfileIdFor(const InstrumentProfile& profile, uint8_t id) {
    const druv::profiles::DeviceIdRule rule = profile.IdRule();
    if (!rule.present || (id >= rule.min && id <= rule.max)) return id;
    return static_cast<uint8_t>((rule.min & 0xF0) | (id & 0x0F));
}

// The stored bytes of one item, cut into loops at FF and each loop into
// messages at status bytes.
struct StoredLoop {
    std::vector<Bytes> messages;
};

std::vector<StoredLoop> SplitStored(const uint8_t* data, int32_t length, bool* endsWithMarker) {
    std::vector<StoredLoop> loops;
    StoredLoop loop;
    Bytes message;
    for (int32_t i = 0; i < length; ++i) {
        const uint8_t byte = data[i];
        if (byte == 0xFF || (byte >= 0x80 && byte <= 0xF0)) {
            if (!message.empty()) loop.messages.push_back(message);
            message.clear();
        }
        if (byte == 0xFF) {
            loops.push_back(loop);
            loop = StoredLoop{};
            continue;
        }
        message.push_back(byte);
    }
    if (!message.empty()) loop.messages.push_back(message);
    *endsWithMarker = length > 0 && data[length - 1] == 0xFF;
    if (!loop.messages.empty()) loops.push_back(loop);
    return loops;
}

// What the figures table keeps of one case.
struct Figure {
    std::string instrument;
    std::string configuration;
    uint64_t bytes = 0;        // SysX bytes received and stored
    uint64_t virtualMs = 0;    // virtual time of the receive
    uint64_t manualMs = 0;     // of which the manual-dump prompts' pauses
};

std::mutex figuresMutex;
std::vector<Figure>& Figures() {
    static std::vector<Figure> figures;
    return figures;
}

// The musician: when the engine prompts for a manual dump, waits for the
// waiting text, then presses the buttons that the template's name asks for.
class Musician : public IMPProgressSink {
public:
    Musician(ProfileLink& link, std::string product) : link_(link), product_(std::move(product)) {}
    virtual ~Musician() = default;

    HRESULT STDMETHODCALLTYPE Progress(void*, uint32_t, uint32_t, const WCHAR* text) override {
        std::string ascii;
        for (const WCHAR* unit = text; unit && *unit; ++unit) ascii += *unit < 0x80 ? static_cast<char>(*unit) : '?';
        texts.push_back(ascii);
        if (ascii.rfind("MANUAL DUMP!", 0) == 0) {
            pending_ = true;
            ++prompts;
            return S_OK;
        }
        if (pending_ && text) {
            // The item's first loop begins: the status text names the item.
            const std::string name = ItemNamed(ascii);
            const char* action = PanelActionFor(product_, name);
            if (!action)
                problems.push_back("no front-panel action for the manual template \"" + name + "\"");
            else if (!link_.Panel(action))
                problems.push_back(std::string("the instrument has no front-panel action \"") + action + "\"");
            pending_ = false;
        }
        return S_OK;
    }

    std::vector<std::string> texts;
    std::vector<std::string> problems;
    int prompts = 0;

private:
    ProfileLink& link_;
    std::string product_;
    bool pending_ = false;

    // "WAITING FOR name MANUAL DUMP..." or "RECEIVING name, x of y bytes".
    static std::string ItemNamed(const std::string& text) {
        const std::string waiting = "WAITING FOR ", manual = " MANUAL DUMP...", receiving = "RECEIVING ";
        if (text.rfind(waiting, 0) == 0 && text.size() >= waiting.size() + manual.size())
            return text.substr(waiting.size(), text.size() - waiting.size() - manual.size());
        if (text.rfind(receiving, 0) == 0) {
            const size_t comma = text.rfind(", ");
            if (comma != std::string::npos && comma >= receiving.size())
                return text.substr(receiving.size(), comma - receiving.size());
        }
        return text;
    }
};

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += "  " + line + "\n";
    return text;
}

class InstrumentDefinition : public ::testing::TestWithParam<Case> {};

// The engine wired to one unit of the definition's instrument in virtual
// time, with a musician at its panel; `second` is a unit with another device
// ID and other contents to send back to.
struct Rig {
    explicit Rig(const DRUVDevice& definition, int configurationIndex)
        : device(definition),
          configuration(definition.Configuration(static_cast<size_t>(configurationIndex))->Name()),
          mask(1u << configurationIndex),
          link(clock, state),
          musician(link, definition.Product()),
          context{definition, data, state} {
        // Device IDs: two within the definition's range (the same one when
        // the messages carry none).
        hasId = device.SysXChanOfs() != 0;
        const uint8_t low = device.SysXChanMin(), high = device.SysXChanMax();
        a = hasId && low < high ? static_cast<uint8_t>(low + 1) : low;
        b = hasId && a < high ? static_cast<uint8_t>(a + 1) : (hasId && low < a ? low : a);
        first = druv::profiles::MakeProfile(device.Company(), device.Product(), {0, 1});
        if (!first) return;
        first = druv::profiles::MakeProfile(device.Company(), device.Product(), {ProfileIdFor(*first, a), 0xA11CE});
        second = druv::profiles::MakeProfile(device.Company(), device.Product(), {ProfileIdFor(*first, b), 0xB0B});
        data.SetTransferClock(clock);
        data.BuildFrom(device);
        data.OutPort = 1;
        data.InPort = 2;
        UseDeviceId(a);
        state.host_link = &link;
        link.Connect(first.get());
    }

    void UseDeviceId(uint8_t id) {
        data.DeviceId = id;
        data.Channel = static_cast<uint8_t>(id & 0x0F);
    }

    // Receives the configuration from the first unit; its virtual time in
    // `receiveMs`.
    bool Receive() {
        const uint32_t start = clock.TickCount();
        link.SetWatchdog(kWatchdogMs);
        const bool received = ReceiveDumps(context, mask, &musician, nullptr);
        receiveMs = clock.TickCount() - start;
        return received;
    }

    const DRUVDevice& device;
    const std::string configuration;
    const uint32_t mask;
    bool hasId = false;
    uint8_t a = 0, b = 0;
    std::unique_ptr<InstrumentProfile> first, second;
    VirtualClock clock{10000};
    TransferState state;
    DRUVData data;
    ProfileLink link;
    Musician musician;
    const TransferContext context;
    uint32_t receiveMs = 0;
};

// Loops of an item: an outer loop repeats the template's loops.
int ItemLoops(const DRUVTemplate& t) {
    const int inner = t.NumLoops() < 1 ? 1 : t.NumLoops();
    return t.Extensions().outerLoopCount > 0 ? inner * t.Extensions().outerLoopCount : inner;
}

// Whether `message` begins like an acknowledgement pattern once the device ID
// `id` is put in as the engine puts it in (FF: any byte).
bool BeginsLike(const DRUVDevice& device, ByteString pattern, uint8_t id, const Bytes& message) {
    const size_t ofs = static_cast<size_t>(device.SysXChanOfs());
    if (ofs != 0 && ofs < pattern.size())
        pattern[ofs] = device.SysXChanMax() > 15 ? id : static_cast<uint8_t>((pattern[ofs] & 0xF0) | (id & 0x0F));
    if (pattern.empty() || message.size() < pattern.size()) return false;
    for (size_t i = 0; i < pattern.size(); ++i)
        if (pattern[i] != 0xFF && pattern[i] != message[i]) return false;
    return true;
}

// For the only item of a configuration that waits for acknowledgements: the
// unit acknowledged every loop sent back, and no loop after the first left
// before the one ahead of it was acknowledged. `loopMessages` are the SysX
// messages of each stored loop, which the transmit sends in order.
void ExpectEachLoopAcknowledgedBeforeTheNext(const Rig& rig, const DRUVTemplate& t,
                                             const std::vector<size_t>& loopMessages) {
    std::vector<uint32_t> sentTicks;
    const std::vector<Bytes> sent = rig.link.SentByEngine();
    const std::vector<uint32_t> ticks = rig.link.SentTicks();
    for (size_t i = 0; i < sent.size(); ++i)
        if (sent[i][0] == 0xF0) sentTicks.push_back(ticks[i]);
    std::vector<uint32_t> acks;
    const std::vector<Bytes> delivered = rig.link.Delivered();
    const std::vector<uint32_t> deliveredTicks = rig.link.DeliveredTicks();
    for (size_t i = 0; i < delivered.size(); ++i)
        if (BeginsLike(rig.device, t.Extensions().ackPattern, rig.b, delivered[i])) acks.push_back(deliveredTicks[i]);
    ASSERT_EQ(loopMessages.size(), acks.size()) << "loops sent back and acknowledgements of the second unit";
    size_t next = 0;  // the first message of the next loop
    for (size_t l = 0; l + 1 < loopMessages.size(); ++l) {
        next += loopMessages[l];
        ASSERT_LT(next, sentTicks.size()) << "fewer messages sent back than stored";
        EXPECT_GE(sentTicks[next], acks[l]) << "loop " << l + 2 << " left before loop " << l + 1 << " was acknowledged";
    }
}

// Receives the dumps of one configuration from the definition's instrument
// profile in virtual time, checks what was stored, sends it back to a second
// unit with another device ID and checks what that one holds. Failures are
// the caller's test's; `figures` receives the receive's bytes and time.
void ReceiveAndSendBack(const DRUVDevice& device, int configurationIndex, std::vector<Figure>* figures) {
    ASSERT_LT(static_cast<size_t>(configurationIndex), device.ConfigurationCount());
    const std::string instrument = device.Company() + " " + device.Product();
    Rig rig(device, configurationIndex);
    SCOPED_TRACE(instrument + ", configuration \"" + rig.configuration + "\"");
    ASSERT_TRUE(rig.first) << "no instrument profile for " << instrument;
    EXPECT_EQ(rig.hasId, rig.first->IdRule().present) << "the definition and the instrument disagree on a device ID";
    ProfileLink& link = rig.link;
    Musician& musician = rig.musician;

    const bool received = rig.Receive();
    EXPECT_FALSE(link.WatchdogFired()) << "the receive waited in vain and was cancelled";
    EXPECT_TRUE(received) << "engine texts:\n" << Joined(musician.texts);
    EXPECT_TRUE(musician.problems.empty()) << Joined(musician.problems);
    EXPECT_EQ(0, rig.first->Refused()) << "the instrument refused requests:\n" << Joined(rig.first->RefusalReasons());

    // What the instrument sent, in order, against what was stored.
    std::vector<Bytes> sentSysX;
    for (const Bytes& message : link.Delivered())
        if (!message.empty() && message[0] == 0xF0) sentSysX.push_back(message);
    std::vector<Bytes> storedSysX;
    uint64_t storedBytes = 0;
    int selected = 0;
    const DRUVTemplate* acknowledged = nullptr;
    std::vector<size_t> acknowledgedLoops;  // SysX messages per loop of that item
    for (const auto& item : rig.data.Items) {
        if (!item->Selected) continue;
        ++selected;
        const DRUVTemplate* tmpl = device.FindTemplate(item->Name().c_str());
        ASSERT_TRUE(tmpl) << item->Name();
        SCOPED_TRACE("template \"" + item->Name() + "\"");
        const int32_t length = item->Length.load();
        ASSERT_GT(length, 0) << "nothing stored";
        bool marked = false;
        const std::vector<StoredLoop> loops = SplitStored(item->Data(), length, &marked);
        EXPECT_TRUE(marked) << "the stored data does not end with a loop marker";
        const int expectedLoops = ItemLoops(*tmpl);
        EXPECT_EQ(static_cast<size_t>(expectedLoops), loops.size()) << "loops stored";
        // Whatever its time-out: a definition that names an acknowledgement means to wait for it.
        const bool waitsForAck = !tmpl->Extensions().ackPattern.empty();
        if (waitsForAck) acknowledged = tmpl;
        // A loop that a time-out ended early looks complete to the engine;
        // for a dump of fixed length its bytes tell.
        const int32_t loopSize = expectedLoops == 1 ? tmpl->Size() : tmpl->LoopRecvSize();
        for (size_t l = 0; l < loops.size(); ++l) {
            EXPECT_FALSE(loops[l].messages.empty()) << "loop " << l << " received nothing (timed out)";
            size_t loopBytes = 0, loopSysX = 0;
            for (const Bytes& message : loops[l].messages) loopBytes += message.size();
            if (tmpl->FixedLength()) {
                EXPECT_EQ(static_cast<size_t>(loopSize), loopBytes) << "loop " << l << ": bytes stored";
            }
            for (const Bytes& message : loops[l].messages) {
                if (message[0] != 0xF0) continue;
                ++loopSysX;
                storedSysX.push_back(message);
                storedBytes += message.size();
                const DumpCheck check = rig.first->Check(message);
                EXPECT_EQ(DumpCheck::Kind::Valid, check.kind)
                    << "loop " << l << ": not a valid dump of the instrument: " << check.reason << " "
                    << druv::profiles::HexName(Bytes(message.begin(), message.begin() + std::min<size_t>(message.size(), 12)));
            }
            if (waitsForAck) acknowledgedLoops.push_back(loopSysX);
        }
    }
    EXPECT_GT(selected, 0) << "the configuration selects no item";
    EXPECT_EQ(sentSysX.size(), storedSysX.size()) << "messages sent by the instrument and stored";
    EXPECT_TRUE(sentSysX == storedSysX) << "the stored messages differ from what the instrument sent";

    if (figures)
        figures->push_back({instrument, rig.configuration, storedBytes, rig.receiveMs, musician.prompts * 3000ull});
    if (::testing::Test::HasFailure()) return;

    // Back to a second unit with another device ID and other contents.
    rig.UseDeviceId(rig.b);
    link.ClearRecords();
    link.Connect(rig.second.get());
    rig.state.abort.store(false);
    link.SetWatchdog(kWatchdogMs);
    const bool transmitted = TransmitDumps(rig.context, rig.mask, &musician, nullptr);
    EXPECT_FALSE(link.WatchdogFired()) << "the transmit took too long and was cancelled";
    EXPECT_TRUE(transmitted) << "engine texts:\n" << Joined(musician.texts);
    EXPECT_EQ(0, rig.second->Refused()) << "the second unit refused:\n" << Joined(rig.second->RefusalReasons());
    EXPECT_GT(rig.second->Counts().dumpsStored, 0) << "the second unit stored nothing";
    for (const std::string& slot : rig.first->SlotsSent()) {
        const std::optional<Bytes> want = rig.first->Contents(slot);
        const std::optional<Bytes> got = rig.second->Contents(slot);
        ASSERT_TRUE(want) << slot;
        EXPECT_TRUE(got && *got == *want) << "the second unit does not hold the first one's \"" << slot << "\"";
    }
    if (acknowledged && selected == 1) ExpectEachLoopAcknowledgedBeforeTheNext(rig, *acknowledged, acknowledgedLoops);
}

TEST_P(InstrumentDefinition, ReceivesFromItsInstrumentAndSendsBackToAnother) {
    const Case& c = GetParam();
    ASSERT_FALSE(c.file.empty()) << "no definitions in " << InstrumentsDir();
    DRUVDevice device;
    std::string boxes;
    ASSERT_TRUE(LoadDefinition(c.file, device, &boxes)) << c.file << " does not load\n" << boxes;
    EXPECT_TRUE(boxes.empty()) << c.file << "\n" << boxes;
    ASSERT_GE(c.configuration, 0) << c.file << " has no configuration";
    std::vector<Figure> figures;
    ReceiveAndSendBack(device, c.configuration, &figures);
    std::lock_guard<std::mutex> lock(figuresMutex);
    for (const Figure& figure : figures) Figures().push_back(figure);
}

INSTANTIATE_TEST_SUITE_P(All, InstrumentDefinition, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<Case>& test) { return test.param.name; });

// The check itself, on a small bank definition written here for the TX7
// profile: it passes as written, and each kind of fault a definition can
// have makes it fail.
void ReferenceTx7(DRUVDevice& device) {
    device.SetCompany("Yamaha");
    device.SetProduct("TX7");
    device.SetSysXChanOfs(2);
    device.SetSysXChanMin(0);
    device.SetSysXChanMax(15);
    DRUVTemplate* bank = device.AddTemplate("Voices");
    bank->SetRequest("F0 43 20 09 F7");
    bank->SetSize(4104);
    bank->SetCSumType(1);
    bank->SetCSumStart(6);
    bank->SetCSumLength(4096);
    bank->SetCSumOfs(4102);
    bank->SetFixedLength(1);
    bank->SetTimeOut(1);
    bank->SetDelayBetweenSysX(0);
    device.AddConfiguration("All Voices")->AddRef("Voices");
}

TEST(InstrumentDefinitionCheck, PassesASoundDefinitionAndFailsEachKindOfFault) {
    struct Row {
        const char* fault;
        void (*spoil)(DRUVDevice&);
    };
    const Row rows[] = {
        {"none", [](DRUVDevice&) {}},
        {"checksum kind", [](DRUVDevice& d) { d.Template(0)->SetCSumType(2); }},
        {"checksum range", [](DRUVDevice& d) { d.Template(0)->SetCSumStart(5); }},
        {"device ID offset", [](DRUVDevice& d) { d.SetSysXChanOfs(3); }},
        {"request", [](DRUVDevice& d) { d.Template(0)->SetRequest("F0 43 20 00 F7"); }},
        {"size", [](DRUVDevice& d) { d.Template(0)->SetSize(4096); }},
        {"loop size", [](DRUVDevice& d) {
             // Half a bank per loop: the one message does not fit.
             d.Template(0)->SetNumLoops(2);
             d.Template(0)->SetLoopRecvSize(2052);
         }},
        {"time-out window", [](DRUVDevice& d) {
             // One loop of a few bytes: the window closes long before the bank is in.
             d.Template(0)->SetNumLoops(2);
             d.Template(0)->SetLoopRecvSize(10);
             d.Template(0)->SetMultiSysX(1);
         }},
        {"size, ended by time-out", [](DRUVDevice& d) {
             // Larger than the bank: a receive that waits for several
             // messages ends only at its deadline, short of the size.
             d.Template(0)->SetSize(4200);
             d.Template(0)->SetMultiSysX(1);
         }},
        {"company", [](DRUVDevice& d) { d.SetCompany("Yamaha Corporation"); }},
    };
    for (const Row& row : rows) {
        DRUVDevice device;
        ReferenceTx7(device);
        row.spoil(device);
        ::testing::TestPartResultArray failures;
        {
            ::testing::ScopedFakeTestPartResultReporter intercept(
                ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
            ReceiveAndSendBack(device, 0, nullptr);
        }
        std::string first = failures.size() ? failures.GetTestPartResult(0).message() : "";
        if (std::string(row.fault) == "none")
            EXPECT_EQ(0, failures.size()) << first;
        else
            EXPECT_GT(failures.size(), 0) << "a fault in the " << row.fault << " went unnoticed";
    }
}

// Whether a template of the configuration checks the checksums it receives.
bool ChecksChecksums(const DRUVDevice& device, int configurationIndex) {
    for (const std::string& ref : device.Configuration(static_cast<size_t>(configurationIndex))->Refs()) {
        const DRUVTemplate* t = device.FindTemplate(ref.c_str());
        if (t && t->Extensions().csumVerify) return true;
    }
    return false;
}

// A configuration whose templates check checksums, received once as it
// should be and then again with one byte of the instrument's first reply
// spoilt on the wire: the second receive names the first loop and keeps the
// dumps of the first.
void RefusesACorruptedReply(const DRUVDevice& device, int configurationIndex) {
    Rig rig(device, configurationIndex);
    SCOPED_TRACE(device.Product() + ", configuration \"" + rig.configuration + "\"");
    ASSERT_TRUE(rig.first) << "no instrument profile";
    ASSERT_TRUE(rig.Receive()) << "engine texts:\n" << Joined(rig.musician.texts);
    std::vector<std::vector<uint8_t>> before;
    for (const auto& item : rig.data.Items)
        before.emplace_back(item->Data(), item->Data() + (item->Data() ? item->Length.load() : 0));

    rig.musician.texts.clear();
    rig.link.ClearRecords();
    rig.link.CorruptSysX(0);
    rig.Receive();
    const std::string mismatch = "Error: checksum of loop 1 does not match";
    EXPECT_TRUE(std::find(rig.musician.texts.begin(), rig.musician.texts.end(), mismatch) != rig.musician.texts.end())
        << "the spoilt reply went unnoticed; engine texts:\n" << Joined(rig.musician.texts);
    for (size_t i = 0; i < rig.data.Items.size(); ++i) {
        const DumpItem& item = *rig.data.Items[i];
        const std::vector<uint8_t> now(item.Data(), item.Data() + (item.Data() ? item.Length.load() : 0));
        EXPECT_TRUE(now == before[i]) << "\"" << item.Name() << "\" lost the dump it held";
    }
}

class CheckedInstrumentDefinition : public ::testing::TestWithParam<Case> {};

TEST_P(CheckedInstrumentDefinition, RefusesAReplySpoiltOnTheWire) {
    const Case& c = GetParam();
    if (c.configuration < 0) GTEST_SKIP() << "no configuration checks checksums";
    DRUVDevice device;
    ASSERT_TRUE(LoadDefinition(c.file, device, nullptr)) << c.file;
    RefusesACorruptedReply(device, c.configuration);
}

std::vector<Case> CheckedCases() {
    std::vector<Case> cases;
    for (const Case& c : AllCases()) {
        DRUVDevice device;
        if (c.configuration >= 0 && LoadDefinition(c.file, device, nullptr) && ChecksChecksums(device, c.configuration))
            cases.push_back(c);
    }
    if (cases.empty()) cases.push_back({"", -1, "none"});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(All, CheckedInstrumentDefinition, ::testing::ValuesIn(CheckedCases()),
                         [](const ::testing::TestParamInfo<Case>& test) { return test.param.name; });

// The checks on definitions that use the format's extensions: each passes the
// shipped definition as it is, and each fails when one extension of it is
// spoilt or left out.
TEST(InstrumentDefinitionCheck, FailsEachKindOfFaultInAnExtension) {
    struct Row {
        const char* fault;
        const char* file;
        const char* configuration;
        void (*spoil)(TemplateExtensions&);
        bool corruptReply;  // judged by RefusesACorruptedReply instead
    };
    const Row rows[] = {
        {"address position", "roland-d50.druv", "All Patches (one item)", [](TemplateExtensions& x) { x.addressOfs = 6; },
         false},
        {"request checksum", "roland-jd800.druv", "All Patches (one request per patch)",
         [](TemplateExtensions& x) { x.requestCSumStart = 6; }, false},
        {"outer loop position", "sequential-prophet08.druv", "All Banks",
         [](TemplateExtensions& x) { x.outerLoopOfs = 3; }, false},
        {"outer loop start", "sequential-mopho.druv", "All Banks", [](TemplateExtensions& x) { x.outerLoopStart = 1; },
         false},
        {"checksum constant", "kawai-k1.druv", "All Singles (checked, one item)",
         [](TemplateExtensions& x) { x.csumConstant = 0; }, false},
        {"acknowledgement not awaited", "kawai-k4.druv", "All Singles (checked, one item)",
         [](TemplateExtensions& x) { x.ackTimeOut = 0; }, false},
        {"end by message count", "akai-ax80.druv", "All Programs (counted)",
         [](TemplateExtensions& x) { x.endAfterMessages = 32; }, false},
        {"end by a quiet gap", "roland-jp8000.druv", "Whole Memory (panel bulk dump, ended by a pause)",
         [](TemplateExtensions& x) { x.endAfterQuiet = 0; }, false},
        {"checksum not checked", "oberheim-matrix1000.druv", "Master Parameters, checked",
         [](TemplateExtensions& x) { x.csumVerify = 0; }, true},
    };
    for (const Row& row : rows) {
        for (bool spoilt : {false, true}) {
            DRUVDevice device;
            ASSERT_TRUE(LoadDefinition(row.file, device, nullptr)) << row.file;
            int index = -1;
            for (size_t i = 0; i < device.ConfigurationCount(); ++i)
                if (device.Configuration(i)->Name() == row.configuration) index = static_cast<int>(i);
            ASSERT_GE(index, 0) << row.file << " has no configuration \"" << row.configuration << "\"";
            if (spoilt) {
                const std::vector<std::string>& refs = device.Configuration(static_cast<size_t>(index))->Refs();
                for (size_t i = 0; i < device.TemplateCount(); ++i) {
                    DRUVTemplate* t = device.Template(i);
                    if (std::find(refs.begin(), refs.end(), t->Name()) == refs.end()) continue;
                    TemplateExtensions x = t->Extensions();
                    row.spoil(x);
                    t->SetExtensions(x);
                }
            }
            ::testing::TestPartResultArray failures;
            {
                ::testing::ScopedFakeTestPartResultReporter intercept(
                    ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
                if (row.corruptReply)
                    RefusesACorruptedReply(device, index);
                else
                    ReceiveAndSendBack(device, index, nullptr);
            }
            const std::string first = failures.size() ? failures.GetTestPartResult(0).message() : "";
            if (!spoilt)
                EXPECT_EQ(0, failures.size()) << row.file << " as shipped: " << first;
            else
                EXPECT_GT(failures.size(), 0) << "a fault in the " << row.fault << " went unnoticed";
        }
    }
}

class InstrumentDefinitionFile : public ::testing::TestWithParam<std::string> {};

TEST_P(InstrumentDefinitionFile, HasAProfileAndNoInspectWarnings) {
    const std::string& file = GetParam();
    ASSERT_FALSE(file.empty()) << "no definitions in " << InstrumentsDir();
    DRUVDevice device;
    std::string boxes;
    ASSERT_TRUE(LoadDefinition(file, device, &boxes)) << file << "\n" << boxes;
    EXPECT_TRUE(druv::profiles::MakeProfile(device.Company(), device.Product(), {}))
        << file << ": no instrument profile for \"" << device.Company() << "\" \"" << device.Product() << "\"";
    const std::vector<std::string> warnings = DefinitionWarnings(device);
    EXPECT_TRUE(warnings.empty()) << file << ":\n" << Joined(warnings);
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every definition, of either format, is written as the program writes it:
// loaded and saved again it gives the bytes of its file, so a definition
// edited in the builder shows only the edit as a change.
TEST_P(InstrumentDefinitionFile, SavesToTheBytesOfItsFile) {
    const std::string& file = GetParam();
    ASSERT_FALSE(file.empty()) << "no definitions in " << InstrumentsDir();
    DRUVDevice device;
    ASSERT_TRUE(LoadDefinition(file, device, nullptr)) << file;
    // A name of its own: other builds may run the same test at the same time.
    const std::filesystem::path saved = std::filesystem::temp_directory_path() /
                                        ("druv-" + std::to_string(std::random_device{}()) + "-" + file);
    device.SetFilePath(saved.string().c_str());
    ASSERT_EQ(1, device.SaveDefinition()) << saved;
    const std::string bytes = FileBytes(saved.string());
    std::error_code error;
    std::filesystem::remove(saved, error);
    EXPECT_TRUE(bytes == FileBytes(InstrumentsDir() + "/" + file)) << file << " saves to other bytes:\n" << bytes;
}

std::vector<std::string> FileCases() {
    std::vector<std::string> files = DefinitionFiles();
    if (files.empty()) files.push_back("");
    return files;
}

INSTANTIATE_TEST_SUITE_P(All, InstrumentDefinitionFile, ::testing::ValuesIn(FileCases()),
                         [](const ::testing::TestParamInfo<std::string>& test) {
                             return test.param.empty() ? std::string("none") : Identifier(test.param);
                         });

// With DRUV_INSTRUMENT_FIGURES set to a file name, the receives' bytes and
// virtual times as a Markdown table, written there at the end.
class FiguresWriter : public ::testing::Environment {
public:
    void TearDown() override {
        const char* path = std::getenv("DRUV_INSTRUMENT_FIGURES");
        if (!path || !*path) return;
        std::vector<Figure> figures = Figures();
        std::sort(figures.begin(), figures.end(), [](const Figure& x, const Figure& y) {
            return x.instrument != y.instrument ? x.instrument < y.instrument : x.configuration < y.configuration;
        });
        std::ostringstream out;
        out << "| Instrument | Configuration | Bytes received | Virtual time of the receive | "
               "of which manual-dump prompts | Wire time of the bytes |\n|---|---|---:|---:|---:|---:|\n";
        std::set<std::string> instruments;
        for (const Figure& f : figures) {
            instruments.insert(f.instrument);
            out << "| " << f.instrument << " | " << f.configuration << " | " << f.bytes << " | "
                << f.virtualMs / 1000.0 << " s | " << f.manualMs / 1000.0 << " s | "
                << f.bytes * 1000 / druv::profiles::kWireBytesPerSecond / 1000.0 << " s |\n";
        }
        out << "\n" << instruments.size() << " instruments, " << figures.size() << " dump kinds (configurations).\n";
        const std::string temporary = std::string(path) + ".tmp";
        {
            std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
            file << out.str();
        }
        std::error_code error;
        std::filesystem::rename(temporary, path, error);
    }
};

const ::testing::Environment* const figuresWriter = ::testing::AddGlobalTestEnvironment(new FiguresWriter);

}  // namespace
