// The receive dates after a project's devices: written only when a device has
// one, read back with each device, and every kind of damage to them refused
// with the project in memory left as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "druvhost/project/project_file.h"

namespace {

using druvhost::ClassId;
using druvhost::Project;
using druvhost::ProjectReadError;

const ClassId kMixer = {0x51, 0x2E, 0xD0, 0x7C, 0xA4, 0x93, 0x7E, 0x4B, 0x8F, 0x26, 0x5A, 0x1D, 0x3C, 0x9B, 0x0E, 0x47};
const ClassId kSynth = {0xD9, 0xC4, 0xA7, 0xE2, 0x13, 0x5B, 0x8A, 0x4F, 0xA6, 0xE0, 0x39, 0xD7, 0x1B, 0x5C, 0x82, 0xF4};
// 2026-03-01 and a date before 1970, which a clock set wrong can give.
constexpr int64_t kMarch2026 = 1772323200;
constexpr int64_t kBefore1970 = -86400;

// The synth received, the mixer never: 16 header, 20 + 3 and 20 + 2, the
// first check value at 61, the tag at 65, dates at 69 and 77, the check at 85.
Project OneReceived() {
    Project project;
    project.Put(kMixer, {1, 2, 3});
    project.Put(kSynth, {4, 5});
    EXPECT_TRUE(project.MarkReceived(kSynth, kMarch2026));
    return project;
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void Reseal(std::vector<uint8_t>& bytes) {
    PutU32(bytes, bytes.size() - 4, druvhost::Crc32(bytes.data(), bytes.size() - 4));
}

TEST(ReceiveDatesTest, DatesReadBackWithTheirDevicesAfterTheFirstCheckValue) {
    Project project = OneReceived();
    project.MarkReceived(kMixer, kBefore1970);
    const std::vector<uint8_t> bytes = druvhost::EncodeProject(project);
    ASSERT_EQ(bytes.size(), 89u);
    EXPECT_EQ(std::memcmp(bytes.data() + 65, "RCVD", 4), 0);
    // The part before the dates is a whole file of the first form.
    Project front;
    ASSERT_EQ(druvhost::DecodeProject(bytes.data(), 65, front), ProjectReadError::None);
    EXPECT_EQ(front.entries[1].receivedAt, 0);

    Project read;
    ASSERT_EQ(druvhost::DecodeProject(bytes.data(), bytes.size(), read), ProjectReadError::None);
    ASSERT_EQ(read.entries.size(), 2u);
    EXPECT_EQ(read.entries[0].receivedAt, kBefore1970);
    EXPECT_EQ(read.entries[1].receivedAt, kMarch2026);
    EXPECT_EQ(read.entries[1].filterData, (std::vector<uint8_t>{4, 5}));
    EXPECT_EQ(druvhost::EncodeProject(read), bytes);
}

TEST(ReceiveDatesTest, NewBytesKeepTheDateAndOnlyAKnownDeviceTakesOne) {
    Project project = OneReceived();
    project.Put(kSynth, {9});
    EXPECT_EQ(project.Find(kSynth)->receivedAt, kMarch2026);
    EXPECT_FALSE(project.MarkReceived(ClassId{7}, kMarch2026));
    EXPECT_EQ(project.entries.size(), 2u);
}

TEST(ReceiveDatesTest, DamagedDatesAreRefusedAndChangeNothing) {
    const std::vector<uint8_t> good = druvhost::EncodeProject(OneReceived());
    ASSERT_EQ(good.size(), 89u);
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
        ProjectReadError expected;
    };
    const Case cases[] = {
        {"a flipped date byte", [](auto& b) { b[78] ^= 0x04; }, ProjectReadError::Garbled},
        {"a flipped data byte, the last check value made right",
         [](auto& b) { b[40] ^= 0x01; Reseal(b); }, ProjectReadError::Garbled},
        {"cut inside the dates", [](auto& b) { b.resize(80); }, ProjectReadError::Truncated},
        {"cut before the last check value", [](auto& b) { b.resize(b.size() - 1); }, ProjectReadError::Truncated},
        {"a byte after the last check value", [](auto& b) { b.push_back(0); Reseal(b); },
         ProjectReadError::TrailingBytes},
        {"another tag", [](auto& b) { b[66] = 'X'; Reseal(b); }, ProjectReadError::TrailingBytes},
        {"no date at all",
         [](auto& b) {
             std::fill(b.begin() + 77, b.begin() + 85, 0);
             Reseal(b);
         },
         ProjectReadError::TrailingBytes},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        c.damage(bytes);
        Project project;
        project.Put(kMixer, {7});
        EXPECT_EQ(druvhost::DecodeProject(bytes.data(), bytes.size(), project), c.expected) << c.what;
        ASSERT_EQ(project.entries.size(), 1u) << c.what;
        EXPECT_EQ(project.entries[0].filterData, std::vector<uint8_t>{7}) << c.what;
        EXPECT_EQ(project.entries[0].receivedAt, 0) << c.what;
    }
}

}  // namespace
