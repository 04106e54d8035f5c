#include "druvhost/ports/port_table.h"

#include <cstring>

namespace druvhost {

namespace {

uint64_t Fnv1a(uint64_t hash, const std::string& text) {
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001B3ull;
    }
    return hash;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool ParseNumber(const std::string& text, size_t& number) {
    if (text.empty() || text.size() > 6) return false;
    number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + static_cast<size_t>(c - '0');
    }
    return true;
}

}  // namespace

bool SameIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

MPPortId PortIdentity(PortDirection direction, const std::string& name, size_t rank) {
    std::string key = (direction == PortDirection::Input ? "in:" : "out:") + name;
    // No port name holds a NUL, so no name can make the key of a later rank.
    if (rank > 0) key += '\0' + std::to_string(rank);
    const uint64_t first = Fnv1a(0xCBF29CE484222325ull, key);
    const uint64_t second = Fnv1a(first ^ 0x9E3779B97F4A7C15ull, key);
    uint8_t bytes[16];
    for (int i = 0; i < 8; ++i) {
        bytes[i] = static_cast<uint8_t>(first >> (8 * i));
        bytes[8 + i] = static_cast<uint8_t>(second >> (8 * i));
    }
    MPPortId id;
    std::memcpy(&id, bytes, sizeof id);
    return id;
}

PortTable::PortTable(std::vector<MidiPortSystem*> systems) : systems_(std::move(systems)) {
    uint32_t handle = 1;
    for (PortDirection direction : {PortDirection::Input, PortDirection::Output})
        for (size_t s = 0; s < systems_.size(); ++s) {
            const std::vector<std::string> names =
                direction == PortDirection::Input ? systems_[s]->InputNames() : systems_[s]->OutputNames();
            for (size_t i = 0; i < names.size(); ++i) {
                size_t rank = 0;
                for (const PortEntry& earlier : entries_)
                    if (earlier.direction == direction && earlier.name == names[i]) ++rank;
                entries_.push_back(
                    {direction, names[i], s, i, handle++, PortIdentity(direction, names[i], rank), rank});
            }
        }
}

std::vector<PortEntry> PortTable::Ports(PortDirection direction) const {
    std::vector<PortEntry> ports;
    for (const PortEntry& entry : entries_)
        if (entry.direction == direction) ports.push_back(entry);
    return ports;
}

const PortEntry* PortTable::Find(PortDirection direction, const std::string& nameOrNumber, std::string& error) const {
    const char* kind = direction == PortDirection::Input ? "input" : "output";
    const PortEntry* found = nullptr;
    size_t number = 0;
    if (ParseNumber(nameOrNumber, number)) {
        size_t position = 0;
        for (const PortEntry& entry : entries_)
            if (entry.direction == direction && ++position == number) return &entry;
    }
    for (const PortEntry& entry : entries_) {
        if (entry.direction != direction || !SameIgnoringAsciiCase(entry.name, nameOrNumber)) continue;
        if (found != nullptr) {
            error = std::string("more than one MIDI ") + kind + " port is named \"" + nameOrNumber +
                    "\"; choose one by its number (druvhost list shows them)";
            return nullptr;
        }
        found = &entry;
    }
    if (found == nullptr) error = std::string("no MIDI ") + kind + " port \"" + nameOrNumber + "\"";
    return found;
}

const PortEntry* PortTable::FindById(PortDirection direction, const MPPortId& id) const {
    for (const PortEntry& entry : entries_)
        if (entry.direction == direction && std::memcmp(&entry.id, &id, sizeof id) == 0) return &entry;
    return nullptr;
}

const PortEntry* PortTable::FindByHandle(uint32_t handle) const {
    for (const PortEntry& entry : entries_)
        if (entry.handle == handle) return &entry;
    return nullptr;
}

size_t PortTable::NamesakeCount(const PortEntry& entry) const {
    size_t count = 0;
    for (const PortEntry& other : entries_)
        if (other.direction == entry.direction && other.name == entry.name) ++count;
    return count;
}

// The port is still listed where it was when its name is at its index and
// as many ports of that name precede it in its system as did then.
bool PortTable::StillListed(const PortEntry& entry, std::string& error) const {
    const std::vector<std::string> names = entry.direction == PortDirection::Input
                                               ? systems_[entry.system]->InputNames()
                                               : systems_[entry.system]->OutputNames();
    size_t earlier = 0;
    for (const PortEntry& other : entries_)
        if (other.direction == entry.direction && other.system == entry.system && other.index < entry.index &&
            other.name == entry.name)
            ++earlier;
    size_t now = 0;
    for (size_t i = 0; i < entry.index && i < names.size(); ++i)
        if (names[i] == entry.name) ++now;
    if (entry.index < names.size() && names[entry.index] == entry.name && now == earlier) return true;
    error = "it is no longer where it was listed (a MIDI device was plugged in or out meanwhile); run the command "
            "again";
    return false;
}

std::unique_ptr<MidiOutputPort> PortTable::OpenOutput(const PortEntry& entry, std::string& error) const {
    if (entry.direction != PortDirection::Output) {
        error = "not an output port";
        return nullptr;
    }
    if (!StillListed(entry, error)) return nullptr;
    return systems_[entry.system]->OpenOutput(entry.index, error);
}

std::unique_ptr<MidiInputPort> PortTable::OpenInput(const PortEntry& entry, MidiMessageSink sink,
                                                    std::string& error) const {
    if (entry.direction != PortDirection::Input) {
        error = "not an input port";
        return nullptr;
    }
    if (!StillListed(entry, error)) return nullptr;
    return systems_[entry.system]->OpenInput(entry.index, std::move(sink), error);
}

const PortEntry* ChoosePort(const PortTable& table, PortDirection direction, const std::string& named,
                            const MPPortId& saved, std::string& error) {
    if (!named.empty()) return table.Find(direction, named, error);
    static const MPPortId kNone{};
    if (std::memcmp(&saved, &kNone, sizeof saved) != 0) {
        const PortEntry* entry = table.FindById(direction, saved);
        if (entry == nullptr)
            error = std::string("the MIDI ") + (direction == PortDirection::Input ? "input" : "output") +
                    " port saved in the project is gone; choose one with " +
                    (direction == PortDirection::Input ? "--in" : "--out");
        return entry;
    }
    for (const PortEntry& entry : table.Entries())
        if (entry.direction == direction) return &entry;
    error = std::string("there is no MIDI ") + (direction == PortDirection::Input ? "input" : "output") + " port";
    return nullptr;
}

}  // namespace druvhost
