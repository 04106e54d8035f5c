// The K5000's dumps, whose lengths depend on the sounds they hold: each
// single and bank within the published range, lengths that differ from
// slot to slot and unit to unit, and the range's ends as the unit takes
// them.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr size_t kSingleMin = 1070, kSingleMax = 2940;
constexpr size_t kBankMin = 90800, kBankMax = 108768;

Bytes SingleRequest(uint8_t channel, uint8_t program) {
    return {0xF0, 0x40, channel, 0x00, 0x00, 0x0A, 0x00, 0x00, program, 0xF7};
}
const Bytes kBankRequest{0xF0, 0x40, 0x02, 0x01, 0x00, 0x0A, 0x00, 0x00, 0x00, 0xF7};

std::unique_ptr<InstrumentProfile> K5000(uint8_t channel, uint64_t seed) {
    std::unique_ptr<InstrumentProfile> unit = MakeProfile("Kawai", "K5000", {channel, seed});
    EXPECT_TRUE(unit);
    return unit;
}

TEST(VariableLengthDumps, StayWithinThePublishedRangeAndVary) {
    std::set<size_t> lengths;
    for (uint64_t seed : {1, 2}) {
        auto unit = K5000(2, seed);
        for (uint8_t program = 0; program < 128; ++program) {
            const std::vector<Bytes> replies = unit->Receive(SingleRequest(2, program));
            ASSERT_EQ(1u, replies.size());
            const Bytes& single = replies[0];
            EXPECT_GE(single.size(), kSingleMin);
            EXPECT_LE(single.size(), kSingleMax);
            EXPECT_TRUE(StartsWith(single, {0xF0, 0x40, 0x02, 0x20, 0x00, 0x0A, 0x00, 0x00, program}));
            EXPECT_EQ(replies, unit->Receive(SingleRequest(2, program))) << "a single changed between two requests";
            lengths.insert(single.size());
        }
        const Bytes bank = unit->Receive(kBankRequest).at(0);
        EXPECT_GE(bank.size(), kBankMin);
        EXPECT_LE(bank.size(), kBankMax);
        EXPECT_TRUE(StartsWith(bank, {0xF0, 0x40, 0x02, 0x21, 0x00, 0x0A, 0x00, 0x00, 0x00}));
        EXPECT_EQ(0, unit->Refused());
    }
    EXPECT_GT(lengths.size(), 100u) << "the singles' lengths hardly vary";
}

// A dump keeps its length on the way to another unit, which sends it back
// as it came.
TEST(VariableLengthDumps, AreTakenBackWithTheirOwnLength) {
    auto first = K5000(2, 1);
    auto second = K5000(2, 2);
    for (uint8_t program : {0, 64, 127}) {
        const Bytes single = first->Receive(SingleRequest(2, program)).at(0);
        EXPECT_NE(single, second->Receive(SingleRequest(2, program)).at(0));
        EXPECT_TRUE(second->Receive(single).empty());
        EXPECT_EQ(single, second->Receive(SingleRequest(2, program)).at(0));
    }
    const Bytes bank = first->Receive(kBankRequest).at(0);
    second->Receive(bank);
    EXPECT_EQ(bank, second->Receive(kBankRequest).at(0));
    EXPECT_EQ(4, second->Counts().dumpsStored);
    EXPECT_EQ(0, second->Refused());
}

// Singles and banks built here at and just past each end of their ranges.
TEST(VariableLengthDumps, AreTakenAtTheEndsOfTheirRangeAndNotBeyond) {
    struct Row {
        uint8_t function;
        size_t length;
        bool accepted;
    };
    const Row rows[] = {
        {0x20, kSingleMin - 1, false}, {0x20, kSingleMin, true},    {0x20, kSingleMax, true},
        {0x20, kSingleMax + 1, false}, {0x21, kBankMin - 1, false}, {0x21, kBankMin, true},
        {0x21, kBankMax, true},        {0x21, kBankMax + 1, false},
    };
    for (const Row& row : rows) {
        Bytes dump{0xF0, 0x40, 0x02, row.function, 0x00, 0x0A, 0x00, 0x00, 0x00};
        dump.resize(row.length - 1, 0x11);
        dump.push_back(0xF7);
        auto unit = K5000(2, 1);
        unit->Receive(dump);
        EXPECT_EQ(row.accepted ? 1 : 0, unit->Counts().dumpsStored) << HexName({row.function}) << " " << row.length;
        EXPECT_EQ(row.accepted ? 0 : 1, unit->Counts().refusedInvalid) << HexName({row.function}) << " " << row.length;
    }
}

}  // namespace
}  // namespace druv::profiles
