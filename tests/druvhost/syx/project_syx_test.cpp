// druvhost's import and export between a .syx file and a project file: the
// project is written only when the file fits, and export writes what import
// took.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "druvhost/project/project_store.h"
#include "druvhost/syx/project_syx.h"
#include "tests/druvhost/syx/syx_test_device.h"

namespace {

using syxtest::Bytes;

Bytes ReadAll(const std::string& path) {
    Bytes bytes;
    if (std::FILE* in = std::fopen(path.c_str(), "rb")) {
        for (int c; (c = std::fgetc(in)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
        std::fclose(in);
    }
    return bytes;
}

void WriteAll(const std::string& path, const Bytes& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(out);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

class ProjectSyxTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::remove(project_.c_str());
        std::remove(syx_.c_str());
        std::remove(out_.c_str());
    }
    void TearDown() override { SetUp(); }

    std::unique_ptr<DRUVDevice> device_ = syxtest::MakeDevice();
    druvhost::ClassId classId_{{1, 2, 3, 4}};
    // Named after the test: the test cases run side by side in one temporary folder.
    static std::string TestFile(const char* suffix) {
        return ::testing::TempDir() + "project_syx_test_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + suffix;
    }
    const std::string project_ = TestFile(".dhp");
    const std::string syx_ = TestFile("_in.syx");
    const std::string out_ = TestFile("_out.syx");
    std::string report_, error_;
};

TEST_F(ProjectSyxTest, ImportCreatesTheProjectAndExportGivesTheFileBack) {
    const Bytes file = syxtest::Joined({syxtest::BankMessage(1), syxtest::Message(8, 1), syxtest::Message(8, 2),
                                        syxtest::Message(8, 3)});
    WriteAll(syx_, syxtest::Joined({{0x00, 0x00}, file}));
    ASSERT_TRUE(druvhost::ImportSyxIntoProject(*device_, classId_, syx_, project_, {"", "Bank and Patches"}, {},
                                               report_, error_))
        << error_;
    EXPECT_NE(std::string::npos, report_.find("\"Patches\": 3 messages (2 to 4)")) << report_;
    EXPECT_NE(std::string::npos, report_.find("2 byte(s) outside SysX messages were skipped")) << report_;
    ASSERT_TRUE(druvhost::ExportSyxFromProject(*device_, classId_, project_, {"", "1"}, out_, report_, error_))
        << error_;
    EXPECT_EQ(file, ReadAll(out_));
    EXPECT_NE(std::string::npos, report_.find("Exported 4 messages (" + std::to_string(file.size()) + " bytes)"))
        << report_;
}

TEST_F(ProjectSyxTest, FailuresLeaveTheProjectAsItWas) {
    WriteAll(syx_, syxtest::BankMessage(1));
    ASSERT_TRUE(druvhost::ImportSyxIntoProject(*device_, classId_, syx_, project_, {"bank", ""}, {}, report_, error_))
        << error_;
    const Bytes before = ReadAll(project_);
    struct Row {
        const char* what;
        Bytes syx;
        druvhost::SyxTarget target;
        const char* says;
    };
    const Row rows[] = {
        {"does not fit", syxtest::Message(8, 1), {"Bank", ""}, "does not fit; the project file was not changed"},
        {"not a .syx file", {0x41, 0x42}, {"Bank", ""}, "no SysX message"},
        {"unknown configuration", syxtest::BankMessage(1), {"", "Voices"}, "Voices"},
    };
    for (const Row& row : rows) {
        WriteAll(syx_, row.syx);
        EXPECT_FALSE(
            druvhost::ImportSyxIntoProject(*device_, classId_, syx_, project_, row.target, {}, report_, error_))
            << row.what;
        EXPECT_NE(std::string::npos, error_.find(row.says)) << row.what << ": " << error_;
        EXPECT_EQ(before, ReadAll(project_)) << row.what;
    }
    // The plug-in refuses the new bytes: nothing is written either.
    WriteAll(syx_, syxtest::BankMessage(3));
    const druvhost::PluginPass refuses = [](std::vector<uint8_t>&, std::string& e) {
        e = "the filter refused the saved data";
        return false;
    };
    EXPECT_FALSE(druvhost::ImportSyxIntoProject(*device_, classId_, syx_, project_, {"Bank", ""}, refuses, report_,
                                                error_));
    EXPECT_EQ("the filter refused the saved data", error_);
    EXPECT_EQ(before, ReadAll(project_));
    // A garbled project is refused, not overwritten.
    Bytes garbled = before;
    garbled[garbled.size() - 1] ^= 0xFF;
    WriteAll(project_, garbled);
    WriteAll(syx_, syxtest::BankMessage(2));
    EXPECT_FALSE(druvhost::ImportSyxIntoProject(*device_, classId_, syx_, project_, {"Bank", ""}, {}, report_, error_));
    EXPECT_EQ(garbled, ReadAll(project_));
}

TEST_F(ProjectSyxTest, ExportRefusesWhatItCannotWrite) {
    EXPECT_FALSE(druvhost::ExportSyxFromProject(*device_, classId_, project_, {}, out_, report_, error_));
    EXPECT_NE(std::string::npos, error_.find("no project file")) << error_;
    WriteAll(syx_, syxtest::BankMessage(1));
    ASSERT_TRUE(druvhost::ImportSyxIntoProject(*device_, classId_, syx_, project_, {"Bank", ""}, {}, report_, error_));
    EXPECT_FALSE(druvhost::ExportSyxFromProject(*device_, druvhost::ClassId{}, project_, {}, out_, report_, error_));
    EXPECT_NE(std::string::npos, error_.find("holds nothing for Test Unit")) << error_;
    EXPECT_FALSE(druvhost::ExportSyxFromProject(*device_, classId_, project_, {"Patches", ""}, out_, report_, error_));
    EXPECT_NE(std::string::npos, error_.find("no dump is stored for \"Patches\"")) << error_;
    const std::string folder = ::testing::TempDir() + "no such folder/x.syx";
    EXPECT_FALSE(druvhost::ExportSyxFromProject(*device_, classId_, project_, {"Bank", ""}, folder, report_, error_));
    EXPECT_NE(std::string::npos, error_.find("cannot write")) << error_;
    EXPECT_TRUE(ReadAll(out_).empty());
}

}  // namespace
