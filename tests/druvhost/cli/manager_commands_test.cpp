// install and uninstall through the manager's core over an in-memory
// registry: the boxes are printed, a failure is reported as one, and an
// unknown device removes nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "druvhost/cli/command_line.h"
#include "druvhost/cli/installed_devices.h"
#include "druvhost/cli/manager_commands.h"
#include "platform/memory_registry.h"
#include "tests/support/test_paths.h"

namespace {

namespace fs = std::filesystem;

class ManagerCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A folder of each test's own: CTest runs the tests of this fixture
        // side by side, and one's TearDown must not take the other's files.
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        folder_ = fs::path(::testing::TempDir()) /
                  fs::u8path("druvhost manager Ünïcode " + test + " " + std::to_string(stamp));
        fs::create_directories(folder_);
        synth_ = (folder_ / fs::u8path("Äster synth.druv")).u8string();
        fs::copy_file((druvtest::ExamplesDir() + "/velmora-aster8-synth.druv"), fs::u8path(synth_),
                      fs::copy_options::overwrite_existing);
        mixer_ = (folder_ / "mixer.druv").u8string();
        fs::copy_file((druvtest::ExamplesDir() + "/brindle-koss-sd16-mixer.druv"), fs::u8path(mixer_),
                      fs::copy_options::overwrite_existing);
    }
    void TearDown() override { fs::remove_all(folder_); }

    ManagerEnvironment Environment() {
        return {registry_, "C:\\DRUV", [](const std::string&) { return true; },
                [](const std::string& path) { return path; }};
    }

    MemoryRegistry registry_;
    fs::path folder_;
    std::string synth_, mixer_;
};

TEST_F(ManagerCommandsTest, InstalledDevicesAreListedAndRemovedByName) {
    std::ostringstream out;
    ASSERT_EQ(druvhost::InstallDefinitions({synth_, mixer_}, Environment(), out), druvhost::kExitSuccess) << out.str();
    const auto devices = druvhost::InstalledDevices(registry_);
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].definitionPath, synth_);
    EXPECT_NE(out.str().find("successfully registered"), std::string::npos) << out.str();

    // Installing it again is refused, and said so.
    std::ostringstream again;
    EXPECT_EQ(druvhost::InstallDefinitions({synth_}, Environment(), again), druvhost::kExitFailure);
    EXPECT_NE(again.str().find("error: "), std::string::npos);

    std::ostringstream removed;
    std::string lowerName = devices[1].name;
    for (char& c : lowerName) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(druvhost::UninstallDevices({lowerName}, Environment(), removed), druvhost::kExitSuccess)
        << removed.str();
    EXPECT_NE(removed.str().find("[Yes]"), std::string::npos);
    ASSERT_EQ(druvhost::InstalledDevices(registry_).size(), 1u);
    EXPECT_EQ(druvhost::InstalledDevices(registry_)[0].name, devices[0].name);
}

TEST_F(ManagerCommandsTest, FailuresAreReportedAndChangeNothing) {
    std::ostringstream out;
    ASSERT_EQ(druvhost::InstallDefinitions({synth_}, Environment(), out), druvhost::kExitSuccess);
    std::ostringstream unreadable;
    EXPECT_EQ(druvhost::InstallDefinitions({(folder_ / "missing.druv").u8string()}, Environment(), unreadable),
              druvhost::kExitFailure);
    EXPECT_NE(unreadable.str().find("error: "), std::string::npos) << unreadable.str();

    std::ostringstream unknown;
    const std::string name = druvhost::InstalledDevices(registry_)[0].name;
    EXPECT_EQ(druvhost::UninstallDevices({name, "No Such Device"}, Environment(), unknown), druvhost::kExitFailure);
    EXPECT_NE(unknown.str().find("nothing was removed"), std::string::npos);
    EXPECT_EQ(druvhost::InstalledDevices(registry_).size(), 1u);
}

}  // namespace
