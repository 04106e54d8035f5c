// The recent projects: order, the same file named twice, the four places, and
// what the registry holds or refuses.
#include <gtest/gtest.h>

#include "platform/memory_registry.h"
#include "windowhost/core/recent_projects.h"

namespace {

using windowhost::RecentProjects;

class RefusingRegistry : public MemoryRegistry {
public:
    bool SetValue(RegistryRoot, const std::string&, const std::string&, const RegistryValue&) override {
        return false;
    }
};

TEST(RecentProjectsTest, NewestFirstOnceEachAtMostFour) {
    RecentProjects recent;
    for (const char* path : {"C:\\a.dhp", "C:\\b.dhp", "C:\\c.dhp", "C:\\d.dhp", "c:/A.DHP", "C:\\e.dhp"})
        recent.Add(path);
    EXPECT_EQ(recent.Paths(), (std::vector<std::string>{"C:\\e.dhp", "c:/A.DHP", "C:\\d.dhp", "C:\\c.dhp"}));
    recent.Remove("C:\\D.dhp");
    EXPECT_EQ(recent.Paths(), (std::vector<std::string>{"C:\\e.dhp", "c:/A.DHP", "C:\\c.dhp"}));
}

TEST(RecentProjectsTest, StoredListReadsBackAndShorterListClearsItsOldPlaces) {
    MemoryRegistry registry;
    RecentProjects recent;
    for (const char* path : {"C:\\a.dhp", "C:\\b.dhp", "C:\\c.dhp"}) recent.Add(path);
    ASSERT_TRUE(recent.Store(registry));
    recent.Remove("C:\\b.dhp");
    ASSERT_TRUE(recent.Store(registry));
    RecentProjects read;
    read.Load(registry);
    EXPECT_EQ(read.Paths(), (std::vector<std::string>{"C:\\c.dhp", "C:\\a.dhp"}));
}

TEST(RecentProjectsTest, DamagedValuesArePassedOver) {
    MemoryRegistry registry;
    const std::string key = windowhost::kRecentProjectsKeyPath;
    ASSERT_TRUE(registry.SetValue(RegistryRoot::CurrentUser, key, "1", RegistryValue::Dword(7)));
    ASSERT_TRUE(registry.SetValue(RegistryRoot::CurrentUser, key, "2", RegistryValue::Text("")));
    ASSERT_TRUE(registry.SetValue(RegistryRoot::CurrentUser, key, "3", RegistryValue::Text("C:\\x.dhp")));
    ASSERT_TRUE(registry.SetValue(RegistryRoot::CurrentUser, key, "4", RegistryValue::Text("C:\\X.DHP")));
    RecentProjects read;
    read.Load(registry);
    EXPECT_EQ(read.Paths(), std::vector<std::string>{"C:\\x.dhp"});
    RefusingRegistry refusing;
    EXPECT_FALSE(read.Store(refusing));
}

TEST(RecentProjectsTest, MenuLabelShowsAnAmpersandAsItself) {
    EXPECT_EQ(windowhost::RecentProjectLabel(0, "C:\\Rock & Roll\\Set.dhp"), "&1 C:\\Rock && Roll\\Set.dhp");
    EXPECT_EQ(windowhost::RecentProjectLabel(3, "D:\\b.dhp"), "&4 D:\\b.dhp");
}

}  // namespace
