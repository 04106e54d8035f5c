// The host's port table: ports of every system in order, handles that never
// collide, identities that survive a renumbering, and ports found as the
// user names them.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "druvhost/ports/port_table.h"

namespace {

using druvhost::PortDirection;

class NamedPorts : public druvhost::MidiPortSystem {
public:
    NamedPorts(std::vector<std::string> inputs, std::vector<std::string> outputs)
        : inputs_(std::move(inputs)), outputs_(std::move(outputs)) {}
    std::vector<std::string> InputNames() override { return inputs_; }
    std::vector<std::string> OutputNames() override { return outputs_; }
    std::unique_ptr<druvhost::MidiOutputPort> OpenOutput(size_t, std::string&) override { return nullptr; }
    std::unique_ptr<druvhost::MidiInputPort> OpenInput(size_t, druvhost::MidiMessageSink, std::string&) override {
        return nullptr;
    }

private:
    std::vector<std::string> inputs_, outputs_;
};

bool SameId(const MPPortId& a, const MPPortId& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(PortTableTest, SystemsInOrderWithUniqueHandlesAndStableIdentities) {
    NamedPorts simulated({"Sim"}, {"Sim"});
    NamedPorts machine({"USB MIDI 1", "USB MIDI 2"}, {"USB MIDI 1"});
    druvhost::PortTable table({&simulated, &machine});
    const auto inputs = table.Ports(PortDirection::Input);
    ASSERT_EQ(inputs.size(), 3u);
    EXPECT_EQ(inputs[0].name, "Sim");
    EXPECT_EQ(inputs[2].name, "USB MIDI 2");
    EXPECT_EQ(inputs[2].system, 1u);
    EXPECT_EQ(inputs[2].index, 1u);
    std::vector<uint32_t> handles;
    for (const auto& entry : table.Entries()) {
        EXPECT_NE(entry.handle, 0u);
        for (uint32_t seen : handles) EXPECT_NE(seen, entry.handle);
        handles.push_back(entry.handle);
    }
    // An input and an output of one name are different ports to the plug-in.
    EXPECT_FALSE(SameId(table.Ports(PortDirection::Output)[0].id, inputs[0].id));
    // The same port listed at another place keeps its identity.
    NamedPorts replugged({"USB MIDI 2"}, {});
    druvhost::PortTable later({&replugged});
    EXPECT_TRUE(SameId(later.Entries()[0].id, inputs[2].id));
    EXPECT_EQ(table.FindById(PortDirection::Input, inputs[2].id)->name, "USB MIDI 2");
    EXPECT_EQ(table.FindByHandle(inputs[1].handle)->name, "USB MIDI 1");
}

TEST(PortTableTest, PortsFoundByNameOrNumberAndRefusedWhenUnclear) {
    NamedPorts machine({"Sim", "USB MIDI 1", "usb midi 1", "12"}, {"Out A"});
    druvhost::PortTable table({&machine});
    std::string error;
    EXPECT_EQ(table.Find(PortDirection::Input, "2", error)->name, "USB MIDI 1");
    EXPECT_EQ(table.Find(PortDirection::Output, "out a", error)->name, "Out A");
    EXPECT_EQ(table.Find(PortDirection::Input, "12", error)->name, "12");  // no 12th port: the name
    EXPECT_EQ(table.Find(PortDirection::Input, "USB MIDI 1", error), nullptr);
    EXPECT_NE(error.find("more than one"), std::string::npos);
    EXPECT_EQ(table.Find(PortDirection::Output, "2", error), nullptr);
    EXPECT_NE(error.find("no MIDI output"), std::string::npos);
}

}  // namespace

namespace {

TEST(PortTableTest, ChosenPortIsTheNamedThenTheSavedThenTheFirst) {
    NamedPorts simulated({"Sim"}, {"Sim"});
    NamedPorts machine({"USB MIDI 1"}, {"USB MIDI 1"});
    druvhost::PortTable table({&simulated, &machine});
    const MPPortId none{};
    const MPPortId usb = druvhost::PortIdentity(PortDirection::Input, "USB MIDI 1");
    const MPPortId gone = druvhost::PortIdentity(PortDirection::Input, "Unplugged");
    std::string error;
    EXPECT_EQ(druvhost::ChoosePort(table, PortDirection::Input, "", none, error)->name, "Sim");
    EXPECT_EQ(druvhost::ChoosePort(table, PortDirection::Input, "", usb, error)->name, "USB MIDI 1");
    EXPECT_EQ(druvhost::ChoosePort(table, PortDirection::Input, "sim", usb, error)->name, "Sim");
    // A port saved with the project and no longer there is never replaced
    // silently by another.
    EXPECT_EQ(druvhost::ChoosePort(table, PortDirection::Input, "", gone, error), nullptr);
    EXPECT_NE(error.find("gone"), std::string::npos);
    druvhost::PortTable empty({});
    EXPECT_EQ(druvhost::ChoosePort(empty, PortDirection::Output, "", none, error), nullptr);
}

}  // namespace

namespace {

// Two identical interfaces: each is a port of its own to the plug-in, and
// the first keeps the identity its name alone gave it, which projects saved
// before ranks counted hold.
TEST(PortTableTest, SameNamedPortsGetIdentitiesOfTheirOwnAndTheFirstKeepsItsOldOne) {
    NamedPorts simulated({"Sim"}, {"Sim"});
    NamedPorts machine({"USB MIDI", "Other", "USB MIDI"}, {"USB MIDI", "USB MIDI"});
    druvhost::PortTable table({&simulated, &machine});
    for (PortDirection direction : {PortDirection::Input, PortDirection::Output}) {
        std::vector<druvhost::PortEntry> usb;
        for (const druvhost::PortEntry& entry : table.Ports(direction))
            if (entry.name == "USB MIDI") usb.push_back(entry);
        ASSERT_EQ(usb.size(), 2u);
        EXPECT_EQ(usb[0].rank, 0u);
        EXPECT_EQ(usb[1].rank, 1u);
        EXPECT_FALSE(SameId(usb[0].id, usb[1].id));
        EXPECT_TRUE(SameId(usb[0].id, druvhost::PortIdentity(direction, "USB MIDI")));
        EXPECT_TRUE(SameId(usb[1].id, druvhost::PortIdentity(direction, "USB MIDI", 1)));
        EXPECT_EQ(table.FindById(direction, usb[1].id)->index, usb[1].index);
        EXPECT_EQ(table.NamesakeCount(usb[1]), 2u);
        // A project saved on the second reopens the second.
        std::string error;
        const druvhost::PortEntry* chosen = druvhost::ChoosePort(table, direction, "", usb[1].id, error);
        ASSERT_NE(chosen, nullptr) << error;
        EXPECT_EQ(chosen->handle, usb[1].handle);
    }
    EXPECT_EQ(table.NamesakeCount(table.Ports(PortDirection::Input)[0]), 1u);
    // The identity a project saved by an earlier druvhost holds for its
    // output "USB MIDI": the first port of that name must still have it.
    const uint8_t saved[16] = {0x4C, 0x3E, 0xAE, 0x2D, 0xEA, 0x71, 0x49, 0xC9,
                               0x50, 0xA9, 0x75, 0x73, 0xC7, 0xA5, 0x76, 0x35};
    MPPortId savedId;
    std::memcpy(&savedId, saved, sizeof savedId);
    const druvhost::PortEntry* first = table.FindById(PortDirection::Output, savedId);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->name, "USB MIDI");
    EXPECT_EQ(first->rank, 0u);
    // The rank counts over every system of the host, in its order.
    NamedPorts second({"Sim"}, {});
    druvhost::PortTable both({&simulated, &second});
    EXPECT_EQ(both.Ports(PortDirection::Input)[1].rank, 1u);
    EXPECT_FALSE(SameId(both.Ports(PortDirection::Input)[0].id, both.Ports(PortDirection::Input)[1].id));
}

// A port system whose ports can come and go after the table was made, and
// which tells which index it was asked to open.
class ChangingPorts : public druvhost::MidiPortSystem {
public:
    class Port : public druvhost::MidiOutputPort, public druvhost::MidiInputPort {
    public:
        bool Send(const uint8_t*, size_t) override { return true; }
    };

    std::vector<std::string> InputNames() override { return names; }
    std::vector<std::string> OutputNames() override { return names; }
    std::unique_ptr<druvhost::MidiOutputPort> OpenOutput(size_t index, std::string&) override {
        opened.push_back(index);
        return std::make_unique<Port>();
    }
    std::unique_ptr<druvhost::MidiInputPort> OpenInput(size_t index, druvhost::MidiMessageSink,
                                                       std::string&) override {
        opened.push_back(index);
        return std::make_unique<Port>();
    }

    std::vector<std::string> names;
    std::vector<size_t> opened;
};

TEST(PortTableTest, APortIsOpenedByItsIndexOnlyWhileTheSystemStillListsItThere) {
    struct Case {
        const char* what;
        std::vector<std::string> listed;
        size_t chosen;  // index in `listed`
        std::vector<std::string> now;
        bool opens;
    } cases[] = {
        {"nothing changed", {"Synth", "USB MIDI", "USB MIDI"}, 2, {"Synth", "USB MIDI", "USB MIDI"}, true},
        {"a port plugged in behind it", {"Synth", "USB MIDI"}, 1, {"Synth", "USB MIDI", "Keys"}, true},
        {"a port plugged in before it", {"Synth", "USB MIDI"}, 1, {"Keys", "Synth", "USB MIDI"}, false},
        {"a port before it unplugged", {"Synth", "USB MIDI", "Keys"}, 2, {"USB MIDI", "Keys"}, false},
        {"the port itself unplugged", {"Synth", "USB MIDI"}, 1, {"Synth"}, false},
        {"every port gone", {"Synth"}, 0, {}, false},
        // The same name at the same index, yet now the second of its name.
        {"a namesake in front of it", {"Synth", "USB MIDI"}, 1, {"USB MIDI", "USB MIDI"}, false},
        {"the first of two namesakes unplugged", {"USB MIDI", "USB MIDI"}, 1, {"USB MIDI"}, false},
    };
    for (const Case& c : cases) {
        for (PortDirection direction : {PortDirection::Input, PortDirection::Output}) {
            ChangingPorts system;
            system.names = c.listed;
            const druvhost::PortTable table({&system});
            const druvhost::PortEntry entry = table.Ports(direction).at(c.chosen);
            system.names = c.now;
            std::string error;
            const bool opened = direction == PortDirection::Input
                                    ? table.OpenInput(entry, nullptr, error) != nullptr
                                    : table.OpenOutput(entry, error) != nullptr;
            EXPECT_EQ(opened, c.opens) << c.what << ": " << error;
            if (c.opens) {
                EXPECT_EQ(system.opened, std::vector<size_t>{c.chosen}) << c.what;
            } else {
                EXPECT_TRUE(system.opened.empty()) << c.what << ": the port now at that index was opened";
                EXPECT_NE(error.find("plugged in or out"), std::string::npos) << c.what << ": " << error;
            }
        }
    }
}

}  // namespace
