#include <gtest/gtest.h>

#include "tests/platform/hex_units.h"

#include <cstdio>
#include <string>
#include <vector>

#include "platform/utf16_text.h"

namespace {


// "Bä", a keyboard (U+1F3B9, a surrogate pair) and "x": 1 + 2 + 4 + 1 bytes,
// 1 + 1 + 2 + 1 units.
const std::string kMixed = "B\xC3\xA4\xF0\x9F\x8E\xB9x";
const std::u16string kMixed16 = u"B\u00E4\U0001F3B9x";

TEST(Utf8ToUtf16, WellAndIllFormedInput) {
    struct Case {
        std::string utf8;
        std::u16string utf16;
        const char* what;
    };
    const std::vector<Case> cases = {
        {"", u"", "empty"},
        {"Kl\xC3\xA4nge", u"Kl\u00E4nge", "two-byte character"},
        {"Stimme 1 \xE2\x80\x93 Bass", u"Stimme 1 \u2013 Bass", "three-byte character"},
        {kMixed, kMixed16, "four-byte character as a surrogate pair"},
        {"a\x80" "b", u"a\uFFFDb", "stray continuation byte"},
        {"\xC0\xAF", u"\uFFFD\uFFFD", "overlong two-byte form"},
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD", "overlong three-byte form"},
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", "encoded surrogate"},
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", "above U+10FFFF"},
        {"\xE2\x80" "x", u"\uFFFDx", "sequence cut short inside the text: one replacement"},
        {"a\xF0\x9F\x8E", u"a\uFFFD", "sequence cut short at the end: one replacement"},
        {"\xFF\xFE", u"\uFFFD\uFFFD", "bytes that never occur"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HexUnits(c.utf16), HexUnits(Utf8ToUtf16(c.utf8))) << c.what;
        EXPECT_EQ(c.utf16.size(), Utf16Length(c.utf8.data(), c.utf8.size())) << c.what;
    }
    EXPECT_EQ(u"", Utf8ToUtf16(nullptr, 5));
}

TEST(Utf8ToUtf16, UnitLimitNeverSplitsASurrogatePair) {
    const std::vector<std::pair<size_t, std::u16string>> cases = {
        {0, u""},
        {1, u"B"},
        {2, u"B\u00E4"},
        {3, u"B\u00E4"},  // the pair needs units 3 and 4
        {4, u"B\u00E4\U0001F3B9"},
        {5, kMixed16},
        {kNoTextLimit, kMixed16},
    };
    for (const auto& [limit, expected] : cases)
        EXPECT_EQ(HexUnits(expected), HexUnits(Utf8ToUtf16(kMixed, limit))) << "limit " << limit;
}

TEST(Utf16ToUtf8, PairsAndLoneSurrogates) {
    struct Case {
        std::u16string utf16;
        std::string utf8;
        const char* what;
    };
    const std::vector<Case> cases = {
        {kMixed16, kMixed, "one to four bytes a character"},
        {u"a\xD83C", "a\xEF\xBF\xBD", "high surrogate at the end"},
        {std::u16string(u"\xD83C") + u"b", "\xEF\xBF\xBD" "b", "high surrogate before another unit"},
        {u"\xDFB9\xD83C", "\xEF\xBF\xBD\xEF\xBF\xBD", "pair in the wrong order"},
    };
    for (const Case& c : cases) EXPECT_EQ(HexUnits(c.utf8), HexUnits(Utf16ToUtf8(c.utf16))) << c.what;
    EXPECT_EQ("", Utf16ToUtf8(nullptr, 5));
}

TEST(Utf16ToUtf8, ByteLimitKeepsWholeCharacters) {
    const std::vector<std::pair<size_t, std::string>> cases = {
        {0, ""},
        {2, "B"},  // ä needs bytes 2 and 3
        {3, "B\xC3\xA4"},
        {6, "B\xC3\xA4"},  // the keyboard needs four more
        {7, "B\xC3\xA4\xF0\x9F\x8E\xB9"},
        {8, kMixed},
    };
    for (const auto& [limit, expected] : cases)
        EXPECT_EQ(HexUnits(expected), HexUnits(Utf16ToUtf8(kMixed16, limit))) << "limit " << limit;
}

TEST(Utf8CutLength, CutsOnlyAtCharacterBoundaries) {
    struct Case {
        std::string text;
        size_t limit;
        size_t expected;
    };
    const std::vector<Case> cases = {
        {kMixed, 0, 0}, {kMixed, 1, 1}, {kMixed, 2, 1}, {kMixed, 3, 3},   {kMixed, 4, 3},
        {kMixed, 6, 3}, {kMixed, 7, 7}, {kMixed, 8, 8}, {kMixed, 100, 8},
        // The bytes end inside a character (a formatting buffer cut it).
        {"a\xF0\x9F\x8E", 4, 1},
        {"a\xF0\x9F\x8E", 100, 1},
        // Ill-formed bytes stay; they become replacement characters later.
        {"a\xFF\x80", 100, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, Utf8CutLength(c.text.data(), c.text.size(), c.limit))
            << HexUnits(c.text) << "limit " << c.limit;
}

TEST(Utf8CutLengthInUnits, CountsCharactersAsUtf16Units) {
    // B, ä and x take one unit each, the keyboard two.
    const std::vector<std::pair<size_t, size_t>> cases = {
        {0, 0}, {1, 1}, {2, 3}, {3, 3}, {4, 7}, {5, 8}, {kNoTextLimit, 8},
    };
    for (const auto& [units, expected] : cases)
        EXPECT_EQ(expected, Utf8CutLengthInUnits(kMixed.data(), kMixed.size(), units)) << "units " << units;
}

}  // namespace
