// The project file: what is written reads back, and every kind of damage is
// refused with its own reason while the project in memory stays as it was.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "druvhost/project/project_file.h"
#include "druvhost/project/project_store.h"

namespace {

using druvhost::ClassId;
using druvhost::Project;
using druvhost::ProjectReadError;

const ClassId kMixer = {0x51, 0x2E, 0xD0, 0x7C, 0xA4, 0x93, 0x7E, 0x4B, 0x8F, 0x26, 0x5A, 0x1D, 0x3C, 0x9B, 0x0E, 0x47};
const ClassId kSynth = {0xD9, 0xC4, 0xA7, 0xE2, 0x13, 0x5B, 0x8A, 0x4F, 0xA6, 0xE0, 0x39, 0xD7, 0x1B, 0x5C, 0x82, 0xF4};

Project TwoDevices() {
    Project project;
    project.Put(kMixer, {'D', 'R', 'U', 'V', 0, 1, 2, 0xF7});
    project.Put(kSynth, {});
    return project;
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The check value made right again after a change, so that the structure
// itself is what the reader has to judge.
void Reseal(std::vector<uint8_t>& bytes) {
    PutU32(bytes, bytes.size() - 4, druvhost::Crc32(bytes.data(), bytes.size() - 4));
}

TEST(ProjectFileTest, DevicesAndTheirBytesReadBackInOrder) {
    const std::vector<uint8_t> bytes = druvhost::EncodeProject(TwoDevices());
    Project read;
    ASSERT_EQ(druvhost::DecodeProject(bytes.data(), bytes.size(), read), ProjectReadError::None);
    ASSERT_EQ(read.entries.size(), 2u);
    EXPECT_EQ(read.entries[0].classId, kMixer);
    EXPECT_EQ(read.entries[0].filterData, TwoDevices().entries[0].filterData);
    EXPECT_EQ(read.entries[1].classId, kSynth);
    EXPECT_TRUE(read.entries[1].filterData.empty());
    // 16 header, 20 + 8 and 20 + 0 for the entries, 4 check.
    EXPECT_EQ(bytes.size(), 68u);
}

TEST(ProjectFileTest, PuttingADeviceAgainReplacesItsBytes) {
    Project project = TwoDevices();
    project.Put(kMixer, {9});
    ASSERT_EQ(project.entries.size(), 2u);
    EXPECT_EQ(project.Find(kMixer)->filterData, std::vector<uint8_t>{9});
}

TEST(ProjectFileTest, DamagedFilesAreRefusedAndChangeNothing) {
    const std::vector<uint8_t> good = druvhost::EncodeProject(TwoDevices());
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
        ProjectReadError expected;
    };
    const Case cases[] = {
        {"empty", [](auto& b) { b.clear(); }, ProjectReadError::NotAProject},
        {"other magic", [](auto& b) { b[3] = 'X'; }, ProjectReadError::NotAProject},
        {"newer version", [](auto& b) { PutU32(b, 8, 2); Reseal(b); }, ProjectReadError::NewerVersion},
        {"cut inside the header", [](auto& b) { b.resize(12); }, ProjectReadError::Truncated},
        {"cut inside an entry", [](auto& b) { b.resize(30); }, ProjectReadError::Truncated},
        {"cut before the check value", [](auto& b) { b.resize(b.size() - 2); }, ProjectReadError::Truncated},
        {"count beyond the entries", [](auto& b) { PutU32(b, 12, 3); Reseal(b); }, ProjectReadError::Truncated},
        {"length beyond the file", [](auto& b) { PutU32(b, 32, 0xFFFFFFF0u); Reseal(b); }, ProjectReadError::Truncated},
        {"count short of the entries", [](auto& b) { PutU32(b, 12, 1); Reseal(b); }, ProjectReadError::TrailingBytes},
        {"one flipped data byte", [](auto& b) { b[40] ^= 0x01; }, ProjectReadError::Garbled},
        {"flipped check value", [](auto& b) { b.back() ^= 0x80; }, ProjectReadError::Garbled},
        {"one device twice",
         [](auto& b) {
             std::copy(b.begin() + 16, b.begin() + 32, b.begin() + 44);
             Reseal(b);
         },
         ProjectReadError::DuplicateDevice},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        c.damage(bytes);
        Project project;
        project.Put(kSynth, {1, 2, 3});
        EXPECT_EQ(druvhost::DecodeProject(bytes.data(), bytes.size(), project), c.expected) << c.what;
        ASSERT_EQ(project.entries.size(), 1u) << c.what;
        EXPECT_EQ(project.entries[0].filterData, (std::vector<uint8_t>{1, 2, 3})) << c.what;
    }
}

class ProjectStoreTest : public ::testing::Test {
protected:
    void TearDown() override { std::remove(path_.c_str()); }
    // A file of each test's own: CTest runs this fixture's tests side by side.
    std::string path_ = ::testing::TempDir() + "druvhost-project-store-" +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
                        std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".dhp";
};

TEST_F(ProjectStoreTest, SavedFileLoadsAndAMissingOneIsAnEmptyProject) {
    std::string error;
    Project project = TwoDevices();
    ASSERT_EQ(druvhost::LoadProjectFile(path_, project, error), druvhost::ProjectLoad::Missing);
    EXPECT_TRUE(project.entries.empty());
    ASSERT_TRUE(druvhost::SaveProjectFile(path_, TwoDevices(), error)) << error;
    ASSERT_EQ(druvhost::LoadProjectFile(path_, project, error), druvhost::ProjectLoad::Loaded) << error;
    EXPECT_EQ(druvhost::EncodeProject(project), druvhost::EncodeProject(TwoDevices()));
}

TEST_F(ProjectStoreTest, ATruncatedFileIsRefusedWithItsReason) {
    std::vector<uint8_t> bytes = druvhost::EncodeProject(TwoDevices());
    bytes.resize(bytes.size() - 5);
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    std::string error;
    Project project;
    EXPECT_EQ(druvhost::LoadProjectFile(path_, project, error), druvhost::ProjectLoad::Refused);
    EXPECT_NE(error.find("cut short"), std::string::npos) << error;
}

}  // namespace
