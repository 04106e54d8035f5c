#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "druvhost/ports/sysx_assembler.h"

namespace {

using Bytes = std::vector<uint8_t>;
using druvhost::SysXAssembler;

// Feeds each chunk in turn, as an input hands over its buffers; an empty
// chunk stands for the system reporting the message in progress broken.
std::vector<Bytes> FeedChunks(SysXAssembler& assembler, const std::vector<Bytes>& chunks) {
    std::vector<Bytes> delivered;
    for (const Bytes& chunk : chunks) {
        if (chunk.empty()) {
            assembler.Abort();
            continue;
        }
        assembler.Feed(chunk.data(), chunk.size(), [&](const uint8_t* message, size_t size) {
            delivered.emplace_back(message, message + size);
        });
    }
    return delivered;
}

TEST(SysXAssembler, JoinsPiecesAndDropsWhatIsNotAWholeMessage) {
    struct Case {
        const char* what;
        size_t limit;
        std::vector<Bytes> chunks;
        std::vector<Bytes> expected;
        size_t tooLong, cutShort, stray;
    };
    const size_t big = druvhost::kDefaultMaxSysXSize;
    const std::vector<Case> cases = {
        {"whole in one piece", big, {{0xF0, 0x41, 0x10, 0xF7}}, {{0xF0, 0x41, 0x10, 0xF7}}, 0, 0, 0},
        {"cut after F0 and before F7", big, {{0xF0}, {0x41, 0x10}, {0xF7}}, {{0xF0, 0x41, 0x10, 0xF7}}, 0, 0, 0},
        {"two in one piece, the second split", big, {{0xF0, 0x01, 0xF7, 0xF0, 0x02}, {0x03, 0xF7}},
         {{0xF0, 0x01, 0xF7}, {0xF0, 0x02, 0x03, 0xF7}}, 0, 0, 0},
        {"realtime inside passed on first, kept out", big, {{0xF0, 0x01, 0xF8}, {0xFE, 0x02, 0xF7}},
         {{0xF8}, {0xFE}, {0xF0, 0x01, 0x02, 0xF7}}, 0, 0, 0},
        {"bytes before F0 dropped", big, {{0x01, 0x02, 0xF7, 0xF0, 0x03, 0xF7}}, {{0xF0, 0x03, 0xF7}}, 0, 0, 3},
        {"a status byte breaks a message off", big, {{0xF0, 0x01, 0x90, 0x40}, {0xF7}}, {}, 0, 1, 3},
        {"a new F0 breaks a message off", big, {{0xF0, 0x01}, {0xF0, 0x02, 0xF7}}, {{0xF0, 0x02, 0xF7}}, 0, 1, 0},
        {"the system reports the message broken", big, {{0xF0, 0x01}, {}, {0x02, 0xF7}}, {}, 0, 1, 2},
        {"exactly at the limit", 5, {{0xF0, 1, 2}, {3, 0xF7}}, {{0xF0, 1, 2, 3, 0xF7}}, 0, 0, 0},
        {"one over the limit, swallowed to its end; the next one whole", 5,
         {{0xF0, 1, 2}, {3, 4, 0xF7}, {0xF0, 5, 0xF7}}, {{0xF0, 5, 0xF7}}, 1, 0, 0},
        {"over the limit and broken off", 5, {{0xF0, 1, 2, 3, 4, 5, 0x80}}, {}, 1, 0, 1},
    };
    for (const Case& c : cases) {
        SysXAssembler assembler(c.limit);
        EXPECT_EQ(c.expected, FeedChunks(assembler, c.chunks)) << c.what;
        EXPECT_EQ(c.tooLong, assembler.Counts().tooLong) << c.what;
        EXPECT_EQ(c.cutShort, assembler.Counts().cutShort) << c.what;
        EXPECT_EQ(c.stray, assembler.Counts().strayBytes) << c.what;
        EXPECT_FALSE(assembler.InMessage()) << c.what;
    }
}

// A sender that never ends its message must not make the input hold more
// than the limit, and the input must recover at the next F0.
TEST(SysXAssembler, EndlessMessageNeverOutgrowsTheLimit) {
    const size_t limit = 1000;
    SysXAssembler assembler(limit);
    Bytes piece(4096, 0x11);
    piece[0] = 0xF0;
    std::vector<Bytes> delivered;
    auto deliver = [&](const uint8_t* message, size_t size) { delivered.emplace_back(message, message + size); };
    assembler.Feed(piece.data(), piece.size(), deliver);
    piece[0] = 0x11;
    for (int i = 0; i < 256; ++i) assembler.Feed(piece.data(), piece.size(), deliver);  // 1 MiB more
    const Bytes next = {0xF0, 0x22, 0xF7};
    assembler.Feed(next.data(), next.size(), deliver);
    EXPECT_EQ(std::vector<Bytes>{next}, delivered);
    EXPECT_EQ(1u, assembler.Counts().tooLong);
}

}  // namespace
