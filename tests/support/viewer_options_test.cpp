#include "tests/support/viewer_options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// argv as a program receives it, the program's name first.
class Arguments {
public:
    explicit Arguments(std::vector<std::string> words) : words_(std::move(words)) {
        pointers_.push_back(const_cast<char*>("viewer"));
        for (std::string& word : words_) pointers_.push_back(word.data());
    }
    int Count() const { return static_cast<int>(pointers_.size()); }
    char** Values() { return pointers_.data(); }

private:
    std::vector<std::string> words_;
    std::vector<char*> pointers_;
};

bool Parse(std::vector<std::string> words, ViewerOptions& options, bool wantsDefinition,
           const ViewerArgument& own = {}) {
    Arguments arguments(std::move(words));
    return ParseViewerOptions(arguments.Count(), arguments.Values(), options, wantsDefinition, own);
}

}  // namespace

TEST(ViewerOptions, ReadTheDefinitionSecondsAndReadyFileInAnyOrder) {
    ViewerOptions options;
    ASSERT_TRUE(Parse({"--seconds", "7", "a.druv", "--ready-file", "ready.txt"}, options, true));
    EXPECT_EQ("a.druv", options.definition);
    EXPECT_EQ(7, options.seconds);
    EXPECT_EQ("ready.txt", options.readyFile);

    ViewerOptions defaults;
    ASSERT_TRUE(Parse({"b.druv"}, defaults, true));
    EXPECT_EQ(3, defaults.seconds);
    EXPECT_EQ("", defaults.readyFile);
}

TEST(ViewerOptions, RefuseUnknownArgumentsMissingValuesAndAMissingOrSecondDefinition) {
    ViewerOptions options;
    EXPECT_FALSE(Parse({}, options, true));
    ViewerOptions second;
    EXPECT_FALSE(Parse({"a.druv", "b.druv"}, second, true));
    ViewerOptions unknown;
    EXPECT_FALSE(Parse({"a.druv", "--online"}, unknown, true));
    ViewerOptions noValue;
    EXPECT_FALSE(Parse({"a.druv", "--seconds"}, noValue, true));
    ViewerOptions noDefinitionWanted;
    EXPECT_FALSE(Parse({"a.druv"}, noDefinitionWanted, false));
    ViewerOptions none;
    EXPECT_TRUE(Parse({"--ready-file", "r"}, none, false));
    EXPECT_EQ("r", none.readyFile);
}

TEST(ViewerOptions, OfferEachArgumentToTheViewersOwnOptionsFirst) {
    std::string name;
    bool flag = false;
    const ViewerArgument own = [&](const std::string& argument, const char* next) {
        if (argument == "--name" && next) {
            name = next;
            return 2;
        }
        if (argument == "--flag") {
            flag = true;
            return 1;
        }
        return 0;
    };
    ViewerOptions options;
    ASSERT_TRUE(Parse({"--flag", "a.druv", "--name", "--seconds", "--seconds", "1"}, options, true, own));
    EXPECT_TRUE(flag);
    EXPECT_EQ("--seconds", name);
    EXPECT_EQ(1, options.seconds);
    EXPECT_EQ("a.druv", options.definition);

    ViewerOptions last;
    EXPECT_FALSE(Parse({"a.druv", "--name"}, last, true, own));
}

TEST(ViewerOptions, TheReadyFileHoldsTheLineAloneAndIsNotWrittenWithoutAPath) {
    const std::string path = ::testing::TempDir() + "viewer_ready.txt";
    std::remove(path.c_str());
    WriteReadyFile(path, "old line that is longer\n");
    WriteReadyFile(path, "1 2 3 4\n");
    // Read as text: the file is written as text, with the system's line ends.
    std::ifstream file(path);
    std::stringstream content;
    content << file.rdbuf();
    EXPECT_EQ("1 2 3 4\n", content.str());
    file.close();
    std::remove(path.c_str());
    WriteReadyFile("", "nothing\n");  // must simply do nothing
}
