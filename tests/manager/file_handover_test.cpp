#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "manager/file_handover.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

void PutNumber(std::vector<uint8_t>& bytes, size_t at, uint32_t number) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(number >> (8 * i));
}

TEST(FileHandover, CarriesThePathsWholeAndInOrder) {
    const std::vector<std::string> paths = {
        "C:\\Users\\M\\My Devices\\mixer.druv", "relative\\synth.druv", "Z:\\tmp\\\xC3\x85ngstr\xC3\xB6m \xCE\x94.druv",
        "D:\\\xE9\x9F\xB3\\\xF0\x9F\x8E\xB9.druv", std::string(kMaxHandedOverPathBytes - 5, 'p') + ".druv"};
    const std::vector<uint8_t> bytes = EncodeFileHandover(paths);
    ASSERT_FALSE(bytes.empty());
    std::vector<std::string> back;
    ASSERT_TRUE(DecodeFileHandover(bytes.data(), bytes.size(), back));
    EXPECT_EQ(paths, back);

    // The layout itself, byte for byte.
    const std::vector<uint8_t> one = EncodeFileHandover({"a.druv"});
    std::vector<uint8_t> expected = Bytes("DRUVOPEN");
    for (uint8_t b : {1, 0, 0, 0, 1, 0, 0, 0, 6, 0, 0, 0}) expected.push_back(b);
    for (char c : std::string("a.druv")) expected.push_back(static_cast<uint8_t>(c));
    EXPECT_EQ(expected, one);
}

TEST(FileHandover, WhatTheFormatCannotCarryIsNotSentAtAll) {
    const struct { const char* what; std::vector<std::string> paths; } cases[] = {
        {"no path", {}},
        {"an empty path", {"a.druv", ""}},
        {"a line break", {"a\n.druv"}},
        {"a zero", {std::string("a\0b.druv", 8)}},
        {"not UTF-8", {"a\xFF.druv"}},
        {"a path too long", {std::string(kMaxHandedOverPathBytes + 1, 'p')}},
        {"too many paths", std::vector<std::string>(kMaxHandedOverFiles + 1, "a.druv")},
        {"too many bytes in all", std::vector<std::string>(4, std::string(kMaxHandedOverPathBytes, 'p'))},
    };
    for (const auto& c : cases) EXPECT_TRUE(EncodeFileHandover(c.paths).empty()) << c.what;
}

// Whatever another process sends: anything but exactly the format is
// refused whole, and the paths are left as they were.
TEST(FileHandover, MalformedBytesAreRefusedWhole) {
    const std::vector<uint8_t> valid = EncodeFileHandover({"C:\\a.druv", "C:\\b.druv"});
    ASSERT_EQ(16u + 4 + 9 + 4 + 9, valid.size());
    const struct { const char* what; std::function<void(std::vector<uint8_t>&)> change; } cases[] = {
        {"another magic", [](std::vector<uint8_t>& b) { b[7] = 'X'; }},
        {"another version", [](std::vector<uint8_t>& b) { PutNumber(b, 8, 2); }},
        {"no paths", [](std::vector<uint8_t>& b) { PutNumber(b, 12, 0); b.resize(16); }},
        {"more paths counted than sent", [](std::vector<uint8_t>& b) { PutNumber(b, 12, 3); }},
        {"fewer paths counted than sent", [](std::vector<uint8_t>& b) { PutNumber(b, 12, 1); }},
        {"a huge count", [](std::vector<uint8_t>& b) { PutNumber(b, 12, 0xFFFFFFFF); }},
        {"an empty path", [](std::vector<uint8_t>& b) { PutNumber(b, 16, 0); }},
        {"a length past the end", [](std::vector<uint8_t>& b) { PutNumber(b, 29, 10); }},
        {"a huge length", [](std::vector<uint8_t>& b) { PutNumber(b, 29, 0xFFFFFFF0); }},
        {"a byte after the last path", [](std::vector<uint8_t>& b) { b.push_back('x'); }},
        {"a zero in a path", [](std::vector<uint8_t>& b) { b[22] = 0; }},
        {"a control character", [](std::vector<uint8_t>& b) { b[22] = 0x1B; }},
        {"not UTF-8", [](std::vector<uint8_t>& b) { b[22] = 0xC3; }},
        {"more bytes than allowed", [](std::vector<uint8_t>& b) { b.resize(kMaxHandoverBytes + 1, 'p'); }},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> bytes = valid;
        c.change(bytes);
        std::vector<std::string> paths = {"untouched"};
        EXPECT_FALSE(DecodeFileHandover(bytes.data(), bytes.size(), paths)) << c.what;
        EXPECT_EQ(std::vector<std::string>{"untouched"}, paths) << c.what;
    }
    for (size_t size = 0; size < valid.size(); ++size) {
        std::vector<std::string> paths;
        EXPECT_FALSE(DecodeFileHandover(valid.data(), size, paths)) << "cut to " << size << " bytes";
    }
    std::vector<std::string> paths;
    EXPECT_FALSE(DecodeFileHandover(nullptr, 16, paths));
}

}  // namespace
