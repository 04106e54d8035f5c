// The parts every instrument profile relies on: wire pacing, the checking
// and counting of incoming messages, the registry, and each registered
// profile's front-panel dumps against its own rules.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/profile_bytes.h"
#include "simulator/profiles/wire_queue.h"

namespace druv::profiles {
namespace {

TEST(WireQueue, DeliversEachMessageWhenItsLastByteHasArrived) {
    WireQueue queue;
    // 3125 bytes take one second; 5 ms response delay first.
    queue.Push({Bytes(3125, 0x11), Bytes(625, 0x22)}, 1000, 5);
    EXPECT_TRUE(queue.TakeDue(2004).empty());
    std::vector<Bytes> due = queue.TakeDue(2005);
    ASSERT_EQ(1u, due.size());
    EXPECT_EQ(3125u, due[0].size());
    EXPECT_TRUE(queue.TakeDue(2204).empty());
    // A reply to a later request waits for the wire to be free.
    queue.Push({Bytes(10, 0x33)}, 2100, 5);
    due = queue.TakeDue(2205);
    ASSERT_EQ(1u, due.size());
    EXPECT_EQ(0x22, due[0][0]);
    EXPECT_TRUE(queue.TakeDue(2208).empty());
    EXPECT_EQ(1u, queue.TakeDue(2209).size());
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(3125u + 625u + 10u, queue.BytesQueued());
}

TEST(WireQueue, LeavesTheMusiciansTimeBetweenSteppedMessages) {
    WireQueue queue;
    // 25 bytes take 8 ms; one second between selections.
    queue.Push({Bytes(25, 0x11), Bytes(25, 0x22), Bytes(25, 0x33)}, 0, 20, 1000);
    EXPECT_EQ(1u, queue.TakeDue(28).size());
    EXPECT_TRUE(queue.TakeDue(1035).empty());
    EXPECT_EQ(1u, queue.TakeDue(1036).size());
    EXPECT_EQ(1u, queue.TakeDue(2044).size());
    EXPECT_TRUE(queue.Empty());
}

// A unit with ID byte at offset 2, dump F0 7D id 01 d0 d1 d2 cs F7 (sum of
// the data), request F0 7D id 11 F7, and a panel dump.
class ToyProfile : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {true, 0, 15}; }
    std::vector<std::string> PanelActions() const override { return {"dump"}; }

    Bytes Dump(uint8_t id) {
        Bytes message{0xF0, 0x7D, id, 0x01};
        Append(message, Slot("patch", 3));
        message.push_back(Sum7(message, 4, 3));
        message.push_back(0xF7);
        return message;
    }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x7D}) || message.size() < 4 || message[3] != 0x01) return DumpCheck::NotADump();
        if (message.size() != 9) return DumpCheck::Invalid("size");
        if (message[7] != Sum7(message, 4, 3)) return DumpCheck::Invalid("checksum");
        return DumpCheck::Valid("patch", Bytes(message.begin() + 4, message.begin() + 7), message[2]);
    }
    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (message != Bytes{0xF0, 0x7D, DeviceId(), 0x11, 0xF7}) return false;
        replies.push_back(Dump(DeviceId()));
        return true;
    }
    bool PanelDump(const std::string& action, std::vector<Bytes>& messages) override {
        if (action != "dump") return false;
        messages.push_back(Dump(DeviceId()));
        return true;
    }
};

TEST(InstrumentProfile, RefusesEachKindOfBadMessageAndCountsIt) {
    ToyProfile source({3, 1});
    const Bytes good = source.Dump(5);
    Bytes badChecksum = good;
    badChecksum[7] ^= 0x01;
    Bytes shortDump;
    for (size_t i = 0; i < good.size(); ++i)
        if (i != 4) shortDump.push_back(good[i]);
    Bytes highBit = good;
    highBit[4] = 0x90;

    struct Row {
        const char* what;
        Bytes message;
        int ProfileCounts::*counter;
    };
    const Row rows[] = {
        {"dump for this unit", good, &ProfileCounts::dumpsStored},
        {"dump for another ID", source.Dump(6), &ProfileCounts::refusedDeviceId},
        {"bad checksum", badChecksum, &ProfileCounts::refusedInvalid},
        {"wrong size", shortDump, &ProfileCounts::refusedInvalid},
        {"data byte with its top bit set", highBit, &ProfileCounts::refusedInvalid},
        {"unknown SysX", Bytes{0xF0, 0x7D, 0x05, 0x55, 0xF7}, &ProfileCounts::unrecognised},
        {"request for another ID", Bytes{0xF0, 0x7D, 0x04, 0x11, 0xF7}, &ProfileCounts::unrecognised},
        {"stray data bytes", Bytes{0x10, 0x20}, &ProfileCounts::unrecognised},
        {"request", Bytes{0xF0, 0x7D, 0x05, 0x11, 0xF7}, &ProfileCounts::requestsAnswered},
    };
    for (const Row& row : rows) {
        ToyProfile unit({5, 2});
        const Bytes before = unit.Dump(5);
        unit.Receive(row.message);
        EXPECT_EQ(1, unit.Counts().*row.counter) << row.what;
        const bool stored = row.counter == &ProfileCounts::dumpsStored;
        EXPECT_EQ(stored ? source.Memory().at("patch") : Bytes(before.begin() + 4, before.begin() + 7),
                  unit.Memory().at("patch"))
            << row.what;
        EXPECT_EQ(stored || row.counter == &ProfileCounts::requestsAnswered ? 0 : 1, unit.Refused()) << row.what;
    }
}

// A toy unit that acknowledges what it stores (F0 7D id 40 F7) and answers
// a damaged dump with an error (F0 7D id 41 F7).
class AnsweringToy : public ToyProfile {
public:
    using ToyProfile::ToyProfile;

protected:
    void AnswerDump(const Bytes& message, const DumpCheck& check, std::vector<Bytes>& replies) override {
        if (message[2] != DeviceId()) return;
        replies.push_back({0xF0, 0x7D, DeviceId(), check.kind == DumpCheck::Kind::Valid ? uint8_t{0x40} : uint8_t{0x41}, 0xF7});
    }
};

TEST(InstrumentProfile, AnswersADumpAfterStoringOrRefusingIt) {
    ToyProfile source({5, 1});
    Bytes damaged = source.Dump(5);
    damaged[7] ^= 0x01;
    struct Row {
        const char* what;
        Bytes message;
        std::vector<Bytes> answer;
        int ProfileCounts::*counter;
    };
    const Row rows[] = {
        {"stored", source.Dump(5), {{0xF0, 0x7D, 0x05, 0x40, 0xF7}}, &ProfileCounts::dumpsStored},
        {"damaged", damaged, {{0xF0, 0x7D, 0x05, 0x41, 0xF7}}, &ProfileCounts::refusedInvalid},
        {"for another unit", source.Dump(6), {}, &ProfileCounts::refusedDeviceId},
        {"a request", {0xF0, 0x7D, 0x05, 0x11, 0xF7}, {}, &ProfileCounts::requestsAnswered},
    };
    for (const Row& row : rows) {
        AnsweringToy unit({5, 2});
        const std::vector<Bytes> replies = unit.Receive(row.message);
        EXPECT_EQ(1, unit.Counts().*row.counter) << row.what;
        EXPECT_EQ(row.answer.empty() ? 0 : 1, unit.Counts().dumpsAnswered) << row.what;
        if (!row.answer.empty()) {
            EXPECT_EQ(row.answer, replies) << row.what;
            EXPECT_EQ(1, unit.Counts().repliesSent) << row.what;
            EXPECT_FALSE(unit.Log().back().incoming) << row.what;
        }
    }
}

TEST(InstrumentProfile, RecordsTheSlotsItSent) {
    ToyProfile unit({5, 2});
    EXPECT_TRUE(unit.SlotsSent().empty());
    EXPECT_TRUE(unit.Panel("no such button").empty());
    EXPECT_TRUE(unit.SlotsSent().empty());
    ASSERT_EQ(1u, unit.Panel("dump").size());
    EXPECT_EQ(std::set<std::string>{"patch"}, unit.SlotsSent());
    EXPECT_EQ(1, unit.Counts().panelDumps);
}

TEST(SeededBytes, DifferPerSeedAndSlotAndKeepToTheirMask) {
    const Bytes base = SeededBytes(1, "voice 1", 256);
    EXPECT_EQ(base, SeededBytes(1, "voice 1", 256));
    EXPECT_NE(base, SeededBytes(2, "voice 1", 256));
    EXPECT_NE(base, SeededBytes(1, "voice 2", 256));
    for (uint8_t byte : base) EXPECT_LT(byte, 0x80);
    for (uint8_t byte : SeededBytes(1, "nibbles", 256, 0x0F)) EXPECT_LT(byte, 0x10);
}

TEST(ProfileBytes, ChecksumsNibblesAndAddresses) {
    // Roland's example: address 40 00 04 and data 64 sum to A8; 80 - 28 = 58.
    EXPECT_EQ(0x58, TwosComplement7({0x40, 0x00, 0x04, 0x64}, 0, 4));
    EXPECT_EQ(0x28, Sum7({0x40, 0x00, 0x04, 0x64}, 0, 4));
    EXPECT_EQ(0x00, TwosComplement7({0x40, 0x40}, 0, 2));
    EXPECT_EQ((Bytes{0x0B, 0x0A, 0x01, 0x0F}), SplitLowFirst({0xAB, 0xF1}));
    EXPECT_EQ((Bytes{0x0A, 0x0B, 0x0F, 0x01}), SplitHighFirst({0xAB, 0xF1}));
    EXPECT_EQ((Bytes{0xAB, 0xF1}), JoinLowFirst(SplitLowFirst({0xAB, 0xF1})));
    EXPECT_EQ((Bytes{0xAB, 0xF1}), JoinHighFirst(SplitHighFirst({0xAB, 0xF1})));
    // 02 00 00 + 0x1C0 in 7-bit address arithmetic is 02 03 40.
    EXPECT_EQ((Bytes{0x02, 0x03, 0x40}), RolandAddressBytes(RolandAddress({0x02, 0x00, 0x00}, 0, 3) + 0x1C0, 3));
}

// Every registered profile: a unique identity, and every front-panel dump
// passes its own checks and is taken by a second unit with the same ID.
TEST(RegisteredProfiles, PanelDumpsAreTheirOwnValidDataAndTravel) {
    std::set<std::string> identities;
    for (const ProfileEntry& entry : RegisteredProfiles()) {
        const std::string name = entry.company + " " + entry.product;
        EXPECT_TRUE(identities.insert(name).second) << "registered twice: " << name;
        std::unique_ptr<InstrumentProfile> first = entry.make({0, 7});
        const uint8_t id = first->IdRule().present ? first->IdRule().min : 0;
        first = entry.make({id, 7});
        std::unique_ptr<InstrumentProfile> second = entry.make({id, 8});
        for (const std::string& action : first->PanelActions()) {
            const std::vector<Bytes> messages = first->Panel(action);
            EXPECT_FALSE(messages.empty()) << name << ", " << action;
            for (const Bytes& message : messages) {
                EXPECT_EQ(DumpCheck::Kind::Valid, first->Check(message).kind)
                    << name << ", " << action << ": " << first->Check(message).reason;
                second->Receive(message);
            }
        }
        EXPECT_EQ(0, second->Refused()) << name;
        for (const std::string& slot : first->SlotsSent())
            EXPECT_EQ(first->Contents(slot).value_or(Bytes{0xFF}), second->Contents(slot).value_or(Bytes()))
                << name << ", " << slot;
    }
}

// Every registered profile, fed messages that look like its maker's but are
// cut short, too long or made of noise: nothing is read out of bounds (the
// sanitizer builds run this), and every message ends up counted exactly once.
TEST(RegisteredProfiles, CountEveryMessageAndSurviveGarbage) {
    const Bytes makers[] = {{0x43}, {0x41}, {0x42}, {0x40}, {0x18}, {0x10}, {0x01}, {0x0F}, {0x3E},
                            {0x04}, {0x00, 0x20, 0x29}, {0x7D}, {0x00, 0x20, 0x33, 0x01}, {0x00, 0x20, 0x1F},
                            {0x52, 0x00, 0x61}, {0x42, 0x30, 0x00, 0x01, 0x51}};
    uint64_t state = 0x1234567;
    auto next = [&state]() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint8_t>(state >> 57);  // 7 bits
    };
    for (const ProfileEntry& entry : RegisteredProfiles()) {
        std::unique_ptr<InstrumentProfile> unit = entry.make({0, 3});
        const uint8_t id = unit->IdRule().present ? unit->IdRule().min : 0;
        unit = entry.make({id, 3});
        int sent = 0;
        for (const Bytes& maker : makers) {
            for (int round = 0; round < 200; ++round) {
                Bytes message{0xF0};
                Append(message, maker);
                const size_t length = next() % 24;
                for (size_t i = 0; i < length; ++i) message.push_back(i == 0 && round % 2 ? id : next());
                if (round % 7 != 3) message.push_back(0xF7);  // now and then no F7
                unit->Receive(message);
                ++sent;
            }
        }
        unit->Receive({static_cast<uint8_t>(0xC0 | id), 0x7F});
        unit->Receive({0xB0, 0x07});  // a control change cut short
        unit->Receive({});
        sent += 3;
        const ProfileCounts& counts = unit->Counts();
        EXPECT_EQ(sent, counts.requestsAnswered + counts.requestsSilent + counts.dumpsStored + unit->Refused() +
                            counts.channelMessages)
            << entry.company << " " << entry.product;
    }
}

}  // namespace
}  // namespace druv::profiles
