// What the page windows share (the status pictures): made for the first
// holder, undone with the last, made again for the next, also while windows
// of several threads come and go.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "plugin/ui/shared_resource.h"

namespace {

std::atomic<int> made{0};
std::atomic<int> undone{0};
std::atomic<bool> exists{false};

void Make() {
    ++made;
    exists = true;
}

void Undo() {
    ++undone;
    exists = false;
}

class SharedResourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        made = 0;
        undone = 0;
        exists = false;
    }
    SharedResource resource{&Make, &Undo};
};

TEST_F(SharedResourceTest, FirstHolderMakesItAndTheLastUndoesIt) {
    resource.Acquire();
    resource.Acquire();
    EXPECT_EQ(1, made.load());
    resource.Release();
    EXPECT_EQ(0, undone.load()) << "one holder is left";
    resource.Release();
    EXPECT_EQ(1, undone.load());
    EXPECT_FALSE(exists.load());
    resource.Release();  // a release too many changes nothing
    EXPECT_EQ(1, undone.load());
    EXPECT_EQ(0, resource.Holders());

    resource.Acquire();
    EXPECT_EQ(2, made.load()) << "made again for the next window";
    EXPECT_TRUE(exists.load());
    resource.Release();
}

TEST_F(SharedResourceTest, HoldersOnSeveralThreadsAlwaysFindItMade) {
    std::atomic<int> missing{0};
    std::vector<std::thread> windows;
    for (int t = 0; t < 4; ++t) {
        windows.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                resource.Acquire();
                if (!exists.load()) ++missing;
                resource.Release();
            }
        });
    }
    for (std::thread& window : windows) window.join();
    EXPECT_EQ(0, missing.load()) << "a holder found it undone";
    EXPECT_EQ(made.load(), undone.load());
    EXPECT_FALSE(exists.load());
    EXPECT_EQ(0, resource.Holders());
}

}  // namespace
