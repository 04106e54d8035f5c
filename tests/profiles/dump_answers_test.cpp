// What units send back when a dump reaches them: the Kawai K1 and K4 their
// "write complete", the minilogue xd its data-load acknowledgement or
// error; nothing to a dump meant for another unit.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

enum class Change { None, DataByte, Shorter, OtherChannel, ShorterOnOtherChannel };

struct AnswerCase {
    const char* what;
    const char* company;
    const char* product;
    Bytes request;  // to a source unit on channel 3
    Change change;
    Bytes answer;  // from the unit on channel 3; empty: none
    int ProfileCounts::*counter;
};

Bytes Changed(Bytes dump, Change change) {
    switch (change) {
        case Change::None:
            break;
        case Change::DataByte:
            dump[dump.size() / 2] ^= 0x01;
            break;
        case Change::Shorter:
            dump.erase(dump.begin() + static_cast<long>(dump.size() / 2));
            break;
        case Change::ShorterOnOtherChannel:
            dump.erase(dump.begin() + static_cast<long>(dump.size() / 2));
            dump[2] = static_cast<uint8_t>(dump[2] + 1);
            break;
        case Change::OtherChannel:
            dump[2] = static_cast<uint8_t>(dump[2] + 1);
            break;
    }
    return dump;
}

TEST(DumpAnswers, AreTheUnitsOwnAndOnlyForItsOwnDumps) {
    const Bytes k1Single{0xF0, 0x40, 0x03, 0x00, 0x00, 0x03, 0x00, 0x21, 0xF7};
    const Bytes k4Single{0xF0, 0x40, 0x03, 0x00, 0x00, 0x04, 0x00, 0x3F, 0xF7};
    const Bytes k4All{0xF0, 0x40, 0x03, 0x02, 0x00, 0x04, 0x00, 0xF7};
    const Bytes k1Done{0xF0, 0x40, 0x03, 0x40, 0x00, 0x03, 0xF7}, k4Done{0xF0, 0x40, 0x03, 0x40, 0x00, 0x04, 0xF7};
    const Bytes xdProgram{0xF0, 0x42, 0x33, 0x00, 0x01, 0x51, 0x1C, 0x10, 0x02, 0xF7};
    const Bytes xdEdit{0xF0, 0x42, 0x33, 0x00, 0x01, 0x51, 0x10, 0xF7};
    const Bytes xdDone{0xF0, 0x42, 0x33, 0x00, 0x01, 0x51, 0x23, 0xF7},
        xdError{0xF0, 0x42, 0x33, 0x00, 0x01, 0x51, 0x24, 0xF7};
    const Bytes none;
    const AnswerCase cases[] = {
        {"K1 single written", "Kawai", "K1", k1Single, Change::None, k1Done, &ProfileCounts::dumpsStored},
        // Which of its error codes a K1 or K4 sends for which fault is not
        // known, so a refused write goes unanswered.
        {"K1 single with a bad checksum", "Kawai", "K1", k1Single, Change::DataByte, none,
         &ProfileCounts::refusedInvalid},
        {"K1 single for another channel", "Kawai", "K1", k1Single, Change::OtherChannel, none,
         &ProfileCounts::refusedDeviceId},
        {"K4 single written", "Kawai", "K4", k4Single, Change::None, k4Done, &ProfileCounts::dumpsStored},
        {"K4 all data written", "Kawai", "K4", k4All, Change::None, k4Done, &ProfileCounts::dumpsStored},
        {"K4 all data with a bad checksum", "Kawai", "K4", k4All, Change::DataByte, none,
         &ProfileCounts::refusedInvalid},
        {"minilogue xd program loaded", "Korg", "minilogue xd", xdProgram, Change::None, xdDone,
         &ProfileCounts::dumpsStored},
        {"minilogue xd edit buffer loaded", "Korg", "minilogue xd", xdEdit, Change::None, xdDone,
         &ProfileCounts::dumpsStored},
        {"minilogue xd program cut short", "Korg", "minilogue xd", xdProgram, Change::Shorter, xdError,
         &ProfileCounts::refusedInvalid},
        {"minilogue xd program for another channel", "Korg", "minilogue xd", xdProgram, Change::OtherChannel, none,
         &ProfileCounts::refusedDeviceId},
        {"minilogue xd program cut short, for another channel", "Korg", "minilogue xd", xdProgram,
         Change::ShorterOnOtherChannel, none, &ProfileCounts::refusedInvalid},
    };
    for (const AnswerCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<InstrumentProfile> source = MakeProfile(c.company, c.product, {3, 1});
        std::unique_ptr<InstrumentProfile> unit = MakeProfile(c.company, c.product, {3, 2});
        ASSERT_TRUE(source && unit);
        const Bytes dump = Changed(source->Receive(c.request).at(0), c.change);
        const std::vector<Bytes> replies = unit->Receive(dump);
        EXPECT_EQ(c.answer.empty() ? std::vector<Bytes>{} : std::vector<Bytes>{c.answer}, replies);
        EXPECT_EQ(1, unit->Counts().*c.counter);
        EXPECT_EQ(c.answer.empty() ? 0 : 1, unit->Counts().dumpsAnswered);
        for (const Bytes& reply : replies)
            EXPECT_EQ(DumpCheck::Kind::NotADump, unit->Check(reply).kind) << "an answer taken for a dump";
    }
}

}  // namespace
}  // namespace druv::profiles
