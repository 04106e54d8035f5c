// An independent model of one hardware instrument ("profile"): what it
// answers to, what it replies, what it shows on its front panel and what it
// accepts when a dump is sent back. Profiles are written from the makers'
// message formats alone, never from a device definition, so that a
// definition tested against its profile is judged by something other than
// itself.
//
// A profile sees one whole incoming message at a time (a SysX message F0..F7
// or a channel message) and returns its replies in wire order; pacing them
// on the wire is the WireQueue's job. Its memory is a set of named slots
// ("voice 12", "edit", "02 00 00" ...) whose contents come from a seed, in
// the instrument's own layout where that matters, so that two profiles with
// different seeds hold different data in every slot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace druv::profiles {

using Bytes = std::vector<uint8_t>;

// How an instrument carries its device ID (or MIDI channel) in SysX.
struct DeviceIdRule {
    bool present = false;  // false: no ID at all; replays go out raw
    uint8_t min = 0;       // the range a user may set (0..15 for a channel)
    uint8_t max = 0;
};

struct ProfileSettings {
    uint8_t deviceId = 0;      // within the profile's DeviceIdRule; ignored without one
    uint64_t seed = 1;         // memory contents
};

// What a profile makes of one SysX message that might be one of its dumps.
struct DumpCheck {
    enum class Kind {
        NotADump,  // not a dump message of this instrument (maybe a request)
        Invalid,   // its header, but wrong size, checksum or layout: `reason`
        Valid,     // a dump message of this instrument, for `slot`
    };
    Kind kind = Kind::NotADump;
    std::string reason;
    std::string slot;   // the memory slot the message fills
    Bytes data;         // what the slot holds after storing the message
    int deviceId = -1;  // the ID the message carries; -1 for none

    static DumpCheck NotADump() { return {}; }
    static DumpCheck Invalid(std::string why) {
        DumpCheck check;
        check.kind = Kind::Invalid;
        check.reason = std::move(why);
        return check;
    }
    static DumpCheck Valid(std::string slot, Bytes data, int deviceId) {
        DumpCheck check;
        check.kind = Kind::Valid;
        check.slot = std::move(slot);
        check.data = std::move(data);
        check.deviceId = deviceId;
        return check;
    }
};

struct ProfileCounts {
    int requestsAnswered = 0;    // SysX requests that produced replies
    int requestsSilent = 0;      // understood, but nothing to send (e.g. a bank select)
    int dumpsStored = 0;         // dump messages accepted into memory
    int refusedDeviceId = 0;     // a dump for another device ID
    int refusedInvalid = 0;      // a dump with a bad size, checksum or layout
    int unrecognised = 0;        // SysX the instrument does not understand
    int channelMessages = 0;     // channel messages seen (used or not; never refused)
    int repliesSent = 0;         // messages handed out, replies and panel dumps
    int panelDumps = 0;          // front-panel actions carried out
    int dumpsAnswered = 0;       // dumps the unit answered (write complete, or its error message)
};

struct LoggedMessage {
    bool incoming = false;  // true: to the instrument; false: from it
    Bytes bytes;
};

class InstrumentProfile {
public:
    explicit InstrumentProfile(const ProfileSettings& settings);
    virtual ~InstrumentProfile() = default;
    InstrumentProfile(const InstrumentProfile&) = delete;
    InstrumentProfile& operator=(const InstrumentProfile&) = delete;

    virtual DeviceIdRule IdRule() const = 0;
    // Milliseconds from the end of a request to the first reply byte.
    virtual uint32_t ResponseDelayMs() const { return 5; }

    // One whole incoming message; returns the replies in wire order. A dump
    // is checked (header, device ID, size, checksum) and stored or refused; a
    // request is answered; anything else is counted as unrecognised.
    std::vector<Bytes> Receive(const Bytes& message);

    // The front-panel dumps the musician can start, by name, and starting
    // one. An unknown name sends nothing and returns an empty list.
    virtual std::vector<std::string> PanelActions() const { return {}; }
    std::vector<Bytes> Panel(const std::string& action);
    // For actions that are the musician stepping through patches on the
    // panel (each selection sends one message): the time between two
    // selections. 0 for a bulk dump, whose messages follow back to back.
    virtual uint32_t PanelStepMs(const std::string& action) const {
        (void)action;
        return 0;
    }

    // Whether `message` is one of this instrument's dump messages with a
    // valid checksum by the instrument's own rule, whatever ID it carries.
    DumpCheck Check(const Bytes& message) const { return CheckDump(message); }

    uint8_t DeviceId() const { return deviceId_; }
    uint64_t Seed() const { return seed_; }
    const std::map<std::string, Bytes>& Memory() const { return memory_; }
    // The slots whose contents left the instrument in a reply or panel dump.
    const std::set<std::string>& SlotsSent() const { return slotsSent_; }
    // What a slot holds now, for comparing two units; by default the memory
    // entry of that name. Profiles whose dumps are views of a larger memory
    // (a bank of patches, an address space) compute it. Null when absent.
    virtual std::optional<Bytes> Contents(const std::string& slot) const {
        auto found = memory_.find(slot);
        if (found == memory_.end()) return std::nullopt;
        return found->second;
    }
    const ProfileCounts& Counts() const { return counts_; }
    int Refused() const { return counts_.refusedDeviceId + counts_.refusedInvalid + counts_.unrecognised; }
    const std::vector<std::string>& RefusalReasons() const { return reasons_; }
    const std::vector<LoggedMessage>& Log() const { return log_; }

protected:
    // Tells a dump message from anything else; never changes memory.
    virtual DumpCheck CheckDump(const Bytes& message) const = 0;
    // Answers a SysX message that is not a dump. False: not understood.
    virtual bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) = 0;
    // A channel message (program change, control change ...). Replies, if
    // the instrument sends any (some send a patch when one is selected).
    virtual void HandleChannel(const Bytes& message, std::vector<Bytes>& replies) {
        (void)message;
        (void)replies;
    }
    // Stores an accepted dump; by default the slot takes the checked data.
    virtual void Store(const DumpCheck& dump) { memory_[dump.slot] = dump.data; }
    // What the unit sends back when a dump reaches it: after storing it
    // (`check` valid), an acknowledgement such as "write complete"; after
    // refusing it as damaged (`check` invalid), its error message, if the
    // damaged message still names this unit (a profile reads that from
    // `message`). Nothing by default. A valid dump for another device ID is
    // not for this unit and gets no answer.
    virtual void AnswerDump(const Bytes& message, const DumpCheck& check, std::vector<Bytes>& replies) {
        (void)message;
        (void)check;
        (void)replies;
    }
    // Builds a front-panel dump; false for an unknown action.
    virtual bool PanelDump(const std::string& action, std::vector<Bytes>& messages) {
        (void)action;
        (void)messages;
        return false;
    }
    // The memory slot `slot`, created from the seed on first use with
    // `size` bytes of `mask`ed values (0x7F: 7-bit data, 0x0F: nibbles).
    Bytes& Slot(const std::string& slot, size_t size, uint8_t mask = 0x7F);
    std::map<std::string, Bytes>& MutableMemory() { return memory_; }
    // Whether an incoming dump with `id` is for this instrument: by default
    // its own ID exactly, or -1 for instruments without one.
    virtual bool AcceptsId(int id) const;
    void Refuse(int ProfileCounts::*counter, const std::string& reason);
    // Records a slot as sent that the message itself does not name (an edit
    // buffer dump of a program the instrument had loaded).
    void NoteSent(const std::string& slot) { slotsSent_.insert(slot); }

private:
    uint8_t deviceId_;
    uint64_t seed_;
    std::map<std::string, Bytes> memory_;
    std::set<std::string> slotsSent_;
    ProfileCounts counts_;
    std::vector<std::string> reasons_;
    std::vector<LoggedMessage> log_;
    void Sent(const std::vector<Bytes>& messages);
};

// The profiles linked into the program, found by Company and Product exactly
// as a definition names them.
using ProfileFactory = std::function<std::unique_ptr<InstrumentProfile>(const ProfileSettings&)>;

struct ProfileEntry {
    std::string company;
    std::string product;
    ProfileFactory make;
};

// Adds a profile; returns true so that it can initialise a static.
bool RegisterProfile(const std::string& company, const std::string& product, ProfileFactory make);
const std::vector<ProfileEntry>& RegisteredProfiles();
// Null when no profile has that identity.
std::unique_ptr<InstrumentProfile> MakeProfile(const std::string& company, const std::string& product,
                                               const ProfileSettings& settings);

}  // namespace druv::profiles

// Registers `Class` (constructible from ProfileSettings) under its identity.
// Profiles are built as an object library, so these statics are always linked.
#define DRUV_PROFILE(Class, company, product)                                                        \
    namespace {                                                                                      \
    const bool registered_##Class = ::druv::profiles::RegisterProfile(                              \
        company, product, [](const ::druv::profiles::ProfileSettings& settings) {                    \
            return std::unique_ptr<::druv::profiles::InstrumentProfile>(new Class(settings));        \
        });                                                                                          \
    }
