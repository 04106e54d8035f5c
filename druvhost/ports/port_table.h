// Every MIDI port the host offers, from all its port systems in order, with
// the handle and identity the plug-in knows it by. The identity comes from
// the port's direction and name alone, so a project saved today finds the
// same port in a later run however the machine numbers its ports then.
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
};

MPPortId PortIdentity(PortDirection direction, const std::string& name);

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

private:
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
