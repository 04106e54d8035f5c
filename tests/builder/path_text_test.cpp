#include <gtest/gtest.h>

#include <string>

#include "builder/path_text.h"

namespace {

TEST(PathTail, ALongPathShowsItsEndFromAFolderOrElseFromTheNamesLastCharactersThatFit) {
    const struct {
        const char* path;
        size_t room;  // characters that fit, counted as bytes
        const char* shown;
    } cases[] = {
        {"C:\\defs\\mixer.druv", 40, "C:\\defs\\mixer.druv"},
        {"C:\\defs\\mixer.druv", 18, "C:\\defs\\mixer.druv"},
        {"C:\\defs\\mixer.druv", 17, "...\\mixer.druv"},
        {"C:\\music\\defs\\mixer.druv", 19, "...\\defs\\mixer.druv"},
        {"C:\\music\\defs\\mixer.druv", 18, "...\\mixer.druv"},
        {"Z:/work/examples/mixer.druv", 23, ".../examples/mixer.druv"},
        {"Z:/work/examples/mixer.druv", 22, ".../mixer.druv"},
        {"C:\\defs\\mixer.druv", 10, "...er.druv"},
        {"C:\\defs\\r\xC3\xA9sum\xC3\xA9.druv", 10, "...\xC3\xA9.druv"},
        {"C:\\defs\\mixer.druv", 2, "...v"},
        {"", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " in " + std::to_string(c.room));
        const std::string shown = PathTail(c.path, [&](const std::string& text) { return text.size() <= c.room; });
        EXPECT_EQ(c.shown, shown);
    }
}

}  // namespace
