// Every MIDI port the host offers, from all its port systems in order, with
// the handle and identity the plug-in knows it by. The identity comes from
// the port's direction, its name and its rank among the ports of that name
// (two identical interfaces), not from its place in the list, so a project
// saved today finds the same port in a later run however the machine numbers
// its ports then.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "druvhost/ports/midi_port_system.h"
#include "plugin/abi/mp_event.h"

namespace druvhost {

enum class PortDirection { Input, Output };

struct PortEntry {
    PortDirection direction;
    std::string name;        // UTF-8, as the system names it
    size_t system;           // index in the table's systems
    size_t index;            // index within that system
    uint32_t handle;         // nonzero, unique over both directions
    MPPortId id;
    size_t rank;             // earlier ports of this direction with the same name
};

// The identity of the port `name` that `rank` ports of the same name and
// direction precede. The first of a name has the identity its name alone
// gave before ranks counted, so that projects saved then find it again.
MPPortId PortIdentity(PortDirection direction, const std::string& name, size_t rank = 0);

class PortTable {
public:
    // The systems in the order their ports are listed; not owned.
    explicit PortTable(std::vector<MidiPortSystem*> systems);

    const std::vector<PortEntry>& Entries() const { return entries_; }
    std::vector<PortEntry> Ports(PortDirection direction) const;
    MidiPortSystem& System(const PortEntry& entry) const { return *systems_[entry.system]; }

    // A port given by its name (ASCII letters in any case) or by its number
    // as `list` shows it (1 for the first of the direction). Null with
    // `error` when none or more than one matches.
    const PortEntry* Find(PortDirection direction, const std::string& nameOrNumber, std::string& error) const;
    const PortEntry* FindById(PortDirection direction, const MPPortId& id) const;
    const PortEntry* FindByHandle(uint32_t handle) const;
    // How many ports of `entry`'s direction share its name (1 when unique).
    size_t NamesakeCount(const PortEntry& entry) const;

    // Open the port of `entry` by its index in its system, once the system
    // still lists the same port there: a device plugged in or out since the
    // table was made moves the ports behind it, and the port now at that
    // index is then refused rather than opened in its place. Null with
    // `error` (which does not repeat the port's name).
    std::unique_ptr<MidiOutputPort> OpenOutput(const PortEntry& entry, std::string& error) const;
    std::unique_ptr<MidiInputPort> OpenInput(const PortEntry& entry, MidiMessageSink sink, std::string& error) const;

private:
    bool StillListed(const PortEntry& entry, std::string& error) const;

    std::vector<MidiPortSystem*> systems_;
    std::vector<PortEntry> entries_;
};

// The port a command uses: the one `named` (name or number) if given; else
// the one whose identity was `saved`, which must still be listed; else the
// first of the direction (the simulated instrument's). Null with `error`.
const PortEntry* ChoosePort(const PortTable& table, PortDirection direction, const std::string& named,
                            const MPPortId& saved, std::string& error);

// Whether two texts are equal with ASCII letters compared without case.
bool SameIgnoringAsciiCase(const std::string& a, const std::string& b);

}  // namespace druvhost
