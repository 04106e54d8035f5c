#include "simulator/profiles/instrument_profile.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {

namespace {

std::string Describe(const Bytes& message) {
    Bytes head(message.begin(), message.begin() + static_cast<std::ptrdiff_t>(std::min<size_t>(message.size(), 12)));
    std::string text = HexName(head);
    if (message.size() > head.size()) text += " ... (" + std::to_string(message.size()) + " bytes)";
    return text;
}

bool WellFormedSysX(const Bytes& message) {
    if (message.size() < 2 || message.front() != 0xF0 || message.back() != 0xF7) return false;
    for (size_t i = 1; i + 1 < message.size(); ++i)
        if (message[i] >= 0x80) return false;
    return true;
}

std::vector<ProfileEntry>& Registry() {
    static std::vector<ProfileEntry> entries;
    return entries;
}

}  // namespace

InstrumentProfile::InstrumentProfile(const ProfileSettings& settings)
    : deviceId_(settings.deviceId), seed_(settings.seed) {}

std::vector<Bytes> InstrumentProfile::Receive(const Bytes& message) {
    log_.push_back({true, message});
    std::vector<Bytes> replies;
    if (message.empty()) {
        Refuse(&ProfileCounts::unrecognised, "empty message");
    } else if (message[0] == 0xF0) {
        if (!WellFormedSysX(message)) {
            Refuse(&ProfileCounts::refusedInvalid, "malformed SysX: " + Describe(message));
        } else {
            const DumpCheck check = CheckDump(message);
            if (check.kind == DumpCheck::Kind::Valid) {
                if (AcceptsId(check.deviceId)) {
                    Store(check);
                    ++counts_.dumpsStored;
                    AnswerDump(message, check, replies);
                } else {
                    Refuse(&ProfileCounts::refusedDeviceId,
                           "dump for device ID " + std::to_string(check.deviceId) + ": " + Describe(message));
                }
                if (!replies.empty()) ++counts_.dumpsAnswered;
            } else if (check.kind == DumpCheck::Kind::Invalid) {
                Refuse(&ProfileCounts::refusedInvalid, check.reason + ": " + Describe(message));
                AnswerDump(message, check, replies);
                if (!replies.empty()) ++counts_.dumpsAnswered;
            } else if (const size_t refusals = reasons_.size(); HandleRequest(message, replies)) {
                // A request the handler refused itself (bad checksum ...) is counted there.
                if (reasons_.size() == refusals) ++(replies.empty() ? counts_.requestsSilent : counts_.requestsAnswered);
            } else {
                Refuse(&ProfileCounts::unrecognised, "not understood: " + Describe(message));
            }
        }
    } else if (message[0] >= 0x80 && message[0] < 0xF0) {
        ++counts_.channelMessages;
        HandleChannel(message, replies);
    } else {
        Refuse(&ProfileCounts::unrecognised, "not a message: " + Describe(message));
    }
    Sent(replies);
    return replies;
}

std::vector<Bytes> InstrumentProfile::Panel(const std::string& action) {
    std::vector<Bytes> messages;
    if (!PanelDump(action, messages)) return {};
    ++counts_.panelDumps;
    Sent(messages);
    return messages;
}

Bytes& InstrumentProfile::Slot(const std::string& slot, size_t size, uint8_t mask) {
    auto found = memory_.find(slot);
    if (found != memory_.end()) return found->second;
    return memory_.emplace(slot, SeededBytes(seed_, slot, size, mask)).first->second;
}

bool InstrumentProfile::AcceptsId(int id) const {
    if (!IdRule().present) return id < 0;
    return id == deviceId_;
}

void InstrumentProfile::Refuse(int ProfileCounts::*counter, const std::string& reason) {
    ++(counts_.*counter);
    reasons_.push_back(reason);
}

void InstrumentProfile::Sent(const std::vector<Bytes>& messages) {
    for (const Bytes& message : messages) {
        log_.push_back({false, message});
        ++counts_.repliesSent;
        const DumpCheck check = CheckDump(message);
        if (check.kind == DumpCheck::Kind::Valid) slotsSent_.insert(check.slot);
    }
}

bool RegisterProfile(const std::string& company, const std::string& product, ProfileFactory make) {
    Registry().push_back({company, product, std::move(make)});
    return true;
}

const std::vector<ProfileEntry>& RegisteredProfiles() { return Registry(); }

std::unique_ptr<InstrumentProfile> MakeProfile(const std::string& company, const std::string& product,
                                               const ProfileSettings& settings) {
    for (const ProfileEntry& entry : Registry())
        if (entry.company == company && entry.product == product) return entry.make(settings);
    return nullptr;
}

}  // namespace druv::profiles
