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
