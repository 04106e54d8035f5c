// Roland units addressed the way a request loop reaches them: RQ1 checksums
// the unit checks, patch addresses at strides that carry across 7-bit
// address bytes, a patch asked for block by block, and the units that read
// a request's size their own way. Addresses and checksums are computed here
// from the published rules, apart from the profiles' own arithmetic.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

// `value` as `width` digits of base 128, most significant first.
Bytes Digits128(uint32_t value, size_t width) {
    Bytes digits(width);
    for (size_t i = width; i-- > 0; value /= 128) digits[i] = static_cast<uint8_t>(value % 128);
    return digits;
}

uint8_t RolandChecksum(const Bytes& bytes) {
    unsigned sum = 0;
    for (uint8_t byte : bytes) sum += byte;
    return static_cast<uint8_t>((128 - sum % 128) % 128);
}

struct Unit {
    const char* product;
    uint8_t id;
    Bytes model;
    size_t width;  // address bytes
};

Bytes Rq1(const Unit& unit, uint32_t address, uint32_t size) {
    Bytes checked = Digits128(address, unit.width);
    Append(checked, Digits128(size, unit.width));
    Bytes message{0xF0, 0x41, unit.id};
    Append(message, unit.model);
    message.push_back(0x11);
    Append(message, checked);
    message.push_back(RolandChecksum(checked));
    message.push_back(0xF7);
    return message;
}

// The data bytes of DT1 messages, one after the other.
Bytes DataOf(const Unit& unit, const std::vector<Bytes>& messages) {
    const size_t header = 4 + unit.model.size() + unit.width;
    Bytes data;
    for (const Bytes& message : messages) {
        if (message.size() < header + 2) return {};
        data.insert(data.end(), message.begin() + static_cast<long>(header), message.end() - 2);
    }
    return data;
}

std::unique_ptr<InstrumentProfile> Make(const Unit& unit, uint64_t seed = 1) {
    std::unique_ptr<InstrumentProfile> profile = MakeProfile("Roland", unit.product, {unit.id, seed});
    EXPECT_TRUE(profile) << unit.product;
    return profile;
}

const Unit kD50{"D-50", 0x00, {0x14}, 3};
const Unit kJd800{"JD-800", 0x10, {0x3D}, 3};
const Unit kJv1080{"JV-1080", 0x10, {0x6A}, 4};
const Unit kMt32{"MT-32", 0x10, {0x16}, 3};
const Unit kD10{"D-10", 0x12, {0x16}, 3};
const Unit kU220{"U-220", 0x10, {0x2B}, 3};
const Unit kJdxi{"JD-Xi", 0x10, {0x00, 0x00, 0x00, 0x0E}, 4};
const Unit kXv3080{"XV-3080", 0x10, {0x00, 0x10}, 4};
const Unit kJv80{"JV-80", 0x10, {0x46}, 4};
const Unit kVg88{"VG-88", 0x11, {0x00, 0x27}, 4};
const Unit kTd6{"TD-6", 0x10, {0x00, 0x3F}, 4};

uint32_t At(std::initializer_list<uint8_t> digits) {
    uint32_t value = 0;
    for (uint8_t digit : digits) value = value * 128 + digit;
    return value;
}

// A request with its checksum one off is ignored, as the unit ignores it;
// the same request with the right checksum is answered.
TEST(RolandRequests, WithABadChecksumGetNoAnswer) {
    struct Row {
        Unit unit;
        uint32_t address;
        uint32_t size;
    };
    const Row rows[] = {
        {kD50, At({0x03, 0x01, 0x40}), 0x1C0},
        {kJd800, At({0x06, 0x01, 0x00}), 0x180},
        {kJv1080, At({0x11, 0x7F, 0x16, 0x00}), 0x81},
        {kMt32, At({0x08, 0x7E, 0x00}), 246},
        {kD10, At({0x08, 0x00, 0x00}), 256},
        {kU220, At({0x03, 0x4E, 0x60}), 160},
        {kJdxi, At({0x19, 0x21, 0x20, 0x00}), 0x3D},
        {kXv3080, At({0x30, 0x7F, 0x00, 0x00}), At({0x01, 0x00, 0x00, 0x00})},
        {kJv80, At({0x01, 0x7F, 0x20, 0x00}), At({0x0C, 0x00})},
        {kVg88, At({0x0C, 0x00, 0x00, 0x00}), At({0x05, 0x40})},
        {kTd6, At({0x41, 0x62, 0x00, 0x00}), 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.unit.product);
        auto unit = Make(row.unit);
        if (!unit) continue;
        const Bytes good = Rq1(row.unit, row.address, row.size);
        Bytes bad = good;
        bad[bad.size() - 2] = static_cast<uint8_t>((bad[bad.size() - 2] + 1) & 0x7F);
        EXPECT_TRUE(unit->Receive(bad).empty()) << HexName(bad);
        EXPECT_EQ(1, unit->Counts().refusedInvalid);
        EXPECT_FALSE(unit->Receive(good).empty()) << HexName(good);
        EXPECT_EQ(1, unit->Counts().requestsAnswered);
    }
}

// Patch n asked for at base + n x stride in 7-bit address arithmetic holds
// what the whole memory's dump holds at n x stride, for every n: the
// D-50's 1C0h across three bytes (carried into the top byte from patch
// 37), the JD-800's 180h (from patch 43), the U-220's 160 nibbles, the
// MT-32's timbres 100h apart, of which 246 bytes are sent.
TEST(RolandRequests, APatchAtItsStrideIsThatPartOfTheMemory) {
    struct Row {
        Unit unit;
        uint32_t base;
        uint32_t stride;
        uint32_t patchSize;
        int patches;
        uint32_t sent;          // bytes sent of each
        const char* wholeDump;  // a panel action, or null: one request for all of them
    };
    const Row rows[] = {
        {kD50, At({0x02, 0x00, 0x00}), 0x1C0, 0x1C0, 64, 0x1C0, "bulk dump"},
        {kJd800, At({0x05, 0x00, 0x00}), 0x180, 0x180, 64, 0x180, nullptr},
        {kU220, At({0x03, 0x00, 0x00}), 160, 160, 64, 160, nullptr},
        {kMt32, At({0x08, 0x00, 0x00}), 0x100, 0x100, 64, 246, nullptr},
        {kD10, At({0x08, 0x00, 0x00}), 0x100, 0x100, 64, 256, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.unit.product);
        auto unit = Make(row.unit, 9);
        if (!unit) continue;
        const std::vector<Bytes> whole = row.wholeDump
                                             ? unit->Panel(row.wholeDump)
                                             : unit->Receive(Rq1(row.unit, row.base, row.stride * row.patches));
        Bytes memory;
        if (row.sent == row.stride) {
            memory = DataOf(row.unit, whole);
        } else {
            // One message per patch, each holding what is sent of it.
            ASSERT_EQ(static_cast<size_t>(row.patches), whole.size());
            for (const Bytes& message : whole) {
                Bytes part = DataOf(row.unit, {message});
                part.resize(row.stride, 0x00);
                Append(memory, part);
            }
        }
        ASSERT_GE(memory.size(), static_cast<size_t>(row.stride) * row.patches);
        for (int n = 0; n < row.patches; ++n) {
            const uint32_t address = row.base + static_cast<uint32_t>(n) * row.stride;
            const std::vector<Bytes> patch = unit->Receive(Rq1(row.unit, address, row.patchSize));
            ASSERT_FALSE(patch.empty()) << "patch " << n;
            const size_t header = 4 + row.unit.model.size();
            EXPECT_EQ(Digits128(address, row.unit.width),
                      Bytes(patch[0].begin() + static_cast<long>(header),
                            patch[0].begin() + static_cast<long>(header + row.unit.width)))
                << "patch " << n;
            const Bytes data = DataOf(row.unit, patch);
            EXPECT_EQ(row.sent, data.size()) << "patch " << n;
            EXPECT_TRUE(std::equal(data.begin(), data.end(), memory.begin() + static_cast<long>(n * row.stride)))
                << "patch " << n;
        }
        EXPECT_EQ(0, unit->Refused());
    }
}

// The JV-1080 answers one template's five requests per patch (common part
// and four tones, the loop value at offset 6): 643 bytes each, the same as
// that patch within the front-panel dump of the 128 user patches.
TEST(RolandRequests, TheJv1080AnswersEachPatchBlockByBlock) {
    auto unit = Make(kJv1080, 4);
    const std::vector<Bytes> panel = unit->Panel("user patches");
    ASSERT_EQ(640u, panel.size());
    for (uint8_t nn = 0; nn < 128; ++nn) {
        std::vector<Bytes> patch;
        const std::vector<Bytes> common = unit->Receive(Rq1(kJv1080, At({0x11, nn, 0x00, 0x00}), 0x48));
        patch.insert(patch.end(), common.begin(), common.end());
        for (uint8_t tone = 0; tone < 4; ++tone) {
            const std::vector<Bytes> part =
                unit->Receive(Rq1(kJv1080, At({0x11, nn, static_cast<uint8_t>(0x10 + 2 * tone), 0x00}), 0x81));
            patch.insert(patch.end(), part.begin(), part.end());
        }
        ASSERT_EQ(5u, patch.size()) << "patch " << int(nn);
        size_t bytes = 0;
        for (size_t i = 0; i < patch.size(); ++i) {
            bytes += patch[i].size();
            EXPECT_EQ(panel[5 * nn + i], patch[i]) << "patch " << int(nn) << ", block " << i;
        }
        EXPECT_EQ(643u, bytes) << "patch " << int(nn);
    }
    EXPECT_EQ(0, unit->Refused());
}

// Units that read a request's size their own way: the XV-3080 sends the
// one patch a size of 01 00 00 00 reaches into, the TD-6 takes size 0 as
// the whole kit (or every kit, at kit 7F) and nothing elsewhere.
TEST(RolandRequests, ReachNoFurtherThanThePatchOrKitTheyName) {
    struct Row {
        Unit unit;
        uint32_t address;
        uint32_t size;
        size_t messages;  // 0: refused as outside the memory
        uint8_t second;   // the second address byte of every reply
    };
    const Row rows[] = {
        {kXv3080, At({0x30, 0x7F, 0x00, 0x00}), At({0x01, 0x00, 0x00, 0x00}), 9, 0x7F},
        {kXv3080, At({0x30, 0x05, 0x00, 0x00}), At({0x01, 0x00, 0x00, 0x00}), 9, 0x05},
        {kXv3080, At({0x30, 0x05, 0x20, 0x00}), At({0x01, 0x00, 0x00, 0x00}), 4, 0x05},
        {kTd6, At({0x41, 0x62, 0x00, 0x00}), 0, 13, 0x62},
        {kTd6, At({0x41, 0x00, 0x01, 0x00}), 0, 0, 0},
        {kTd6, At({0x41, 0x00, 0x01, 0x00}), 43, 1, 0x00},
        {kTd6, At({0x41, 0x63, 0x00, 0x00}), 0, 0, 0},
    };
    for (const Row& row : rows) {
        auto unit = Make(row.unit);
        if (!unit) continue;
        const Bytes request = Rq1(row.unit, row.address, row.size);
        SCOPED_TRACE(std::string(row.unit.product) + " " + HexName(request));
        const std::vector<Bytes> replies = unit->Receive(request);
        ASSERT_EQ(row.messages, replies.size());
        const size_t second = 4 + row.unit.model.size() + 1;
        for (const Bytes& reply : replies) EXPECT_EQ(row.second, reply[second]) << HexName(reply);
        EXPECT_EQ(row.messages ? 0 : 1, unit->Counts().refusedInvalid);
    }
}

}  // namespace
}  // namespace druv::profiles
