#include "druvhost/cli/transmit_verdict.h"

#include "simulator/midi_bytes.h"
#include "simulator/sysx_checksum.h"

namespace druvhost {

namespace {

using druv::simulator::MidiMessage;

// The SysX messages of a stored dump; FF loop ends and channel messages in
// between are left out, as the instrument keeps only SysX in its slots here.
std::vector<MidiMessage> SysXMessages(const std::vector<uint8_t>& dump) {
    std::vector<MidiMessage> messages;
    size_t at = 0;
    while (at < dump.size()) {
        if (dump[at] != 0xF0) {
            ++at;
            continue;
        }
        size_t end = at + 1;
        while (end < dump.size() && dump[end] != 0xF7) ++end;
        if (end == dump.size()) break;  // unterminated: not a message the instrument could store
        messages.emplace_back(dump.begin() + static_cast<std::ptrdiff_t>(at),
                              dump.begin() + static_cast<std::ptrdiff_t>(end + 1));
        at = end + 1;
    }
    return messages;
}

std::string Where(const druv::simulator::InstrumentDefinition& definition, size_t t, int loop) {
    return "template " + std::to_string(t) + " (" + definition.templates[t].name + ") loop " + std::to_string(loop);
}

}  // namespace

std::string FirstDifferenceFromDumps(const druv::simulator::InstrumentDefinition& definition,
                                     const druv::simulator::InstrumentMemory& held,
                                     const std::vector<std::vector<uint8_t>>& items, uint8_t deviceId,
                                     const std::vector<bool>& sent) {
    if (items.size() != held.TemplateCount() || items.size() != definition.templates.size())
        return "the project holds " + std::to_string(items.size()) + " item(s), the instrument " +
               std::to_string(held.TemplateCount()) + " template(s)";
    for (size_t t = 0; t < items.size(); ++t) {
        if (t < sent.size() && !sent[t]) continue;
        std::vector<MidiMessage> expected = SysXMessages(items[t]);
        if (expected.empty()) continue;
        for (MidiMessage& message : expected) {
            definition.deviceId.Insert(message.data(), message.size(), deviceId);
            druv::simulator::StoreChecksum(definition.templates[t].checksum, message.data(), message.size());
        }
        size_t next = 0;
        for (int loop = 0; loop < held.LoopCount(t); ++loop) {
            for (const MidiMessage& message : held.Slot(t, loop)) {
                if (message.empty() || message[0] != 0xF0) continue;
                if (next == expected.size())
                    return Where(definition, t, loop) + " holds more than the project's dump";
                if (message != expected[next])
                    return Where(definition, t, loop) + " differs from the project's dump";
                ++next;
            }
        }
        if (next != expected.size())
            return "template " + std::to_string(t) + " (" + definition.templates[t].name + ") lacks " +
                   std::to_string(expected.size() - next) + " message(s) of the project's dump";
    }
    return {};
}

std::string TransmitVerdictLine(uint8_t shownDeviceId, const std::string& difference) {
    return "The simulated instrument now holds the project's dumps with its device ID " +
           std::to_string(shownDeviceId) + " and valid checksums: " +
           (difference.empty() ? std::string("yes") : "no: " + difference) + "\n";
}

}  // namespace druvhost
