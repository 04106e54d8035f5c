#include "windowhost/core/back_up_all.h"

namespace windowhost {

BackUpAll::BackUpAll(const std::vector<std::string>& instrumentNames) {
    for (const std::string& name : instrumentNames) entries_.push_back({name, BackUpResult::Pending, {}});
}

std::optional<BackUpStep> BackUpAll::Next() const {
    if (current_ >= entries_.size()) return std::nullopt;
    return BackUpStep{current_, probed_ ? BackUpStepKind::Receive : BackUpStepKind::Probe};
}

BackUpEntry* BackUpAll::Current() { return current_ < entries_.size() ? &entries_[current_] : nullptr; }

void BackUpAll::ProbeEnded(druvhost::Detection detection) {
    BackUpEntry* entry = Current();
    if (entry == nullptr || probed_) return;
    switch (detection) {
        case druvhost::Detection::Online:
            probed_ = true;
            return;
        case druvhost::Detection::NoProbe:
            // Nothing tells whether it is there: asking it for dumps would
            // only wait for every request's time-out.
            entry->result = BackUpResult::Skipped;
            entry->detail = "its definition has no request to detect it with";
            break;
        case druvhost::Detection::Offline:
            entry->result = BackUpResult::Failed;
            entry->detail = "it did not answer";
            break;
        case druvhost::Detection::SendFailed:
            entry->result = BackUpResult::Failed;
            entry->detail = "the detection request could not be sent";
            break;
    }
    ++current_;
}

void BackUpAll::ReceiveEnded(const std::string& configuration, const std::vector<std::string>& failures) {
    BackUpEntry* entry = Current();
    if (entry == nullptr || !probed_) return;
    if (failures.empty()) {
        entry->result = BackUpResult::Received;
        entry->detail = configuration;
    } else {
        entry->result = BackUpResult::Failed;
        entry->detail.clear();
        for (const std::string& failure : failures) entry->detail += (entry->detail.empty() ? "" : "; ") + failure;
    }
    probed_ = false;
    ++current_;
}

void BackUpAll::StepFailed(const std::string& why) {
    BackUpEntry* entry = Current();
    if (entry == nullptr) return;
    entry->result = BackUpResult::Failed;
    entry->detail = why;
    probed_ = false;
    ++current_;
}

void BackUpAll::Cancel() {
    for (; current_ < entries_.size(); ++current_) {
        entries_[current_].result = BackUpResult::Cancelled;
        entries_[current_].detail = "cancelled";
    }
    probed_ = false;
}

size_t BackUpAll::Count(BackUpResult result) const {
    size_t count = 0;
    for (const BackUpEntry& entry : entries_)
        if (entry.result == result) ++count;
    return count;
}

std::string BackUpSummary(const BackUpAll& run) {
    std::string text = std::to_string(run.Count(BackUpResult::Received)) + " received, " +
                       std::to_string(run.Count(BackUpResult::Failed)) + " failed, " +
                       std::to_string(run.Count(BackUpResult::Skipped)) + " skipped";
    if (const size_t cancelled = run.Count(BackUpResult::Cancelled))
        text += ", " + std::to_string(cancelled) + " cancelled";
    text += "\n";
    for (const BackUpEntry& entry : run.Entries()) {
        text += "\n" + entry.name + ": ";
        switch (entry.result) {
            case BackUpResult::Received: text += "received " + entry.detail; break;
            case BackUpResult::Failed: text += "failed: " + entry.detail; break;
            case BackUpResult::Skipped: text += "skipped: " + entry.detail; break;
            case BackUpResult::Cancelled: text += "not received: cancelled"; break;
            case BackUpResult::Pending: text += "not reached"; break;
        }
    }
    return text;
}

}  // namespace windowhost
