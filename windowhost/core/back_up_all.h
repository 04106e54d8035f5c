// Back Up All: every installed instrument in turn is asked whether it
// answers and, when it does, its first configuration is received into the
// project; one instrument after another, never two at once. The window runs
// each step on its transfer thread and reports how it ended; this decides
// what comes next and what the summary says.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "druvhost/host/detection_probe.h"

namespace windowhost {

enum class BackUpStepKind { Probe, Receive };

struct BackUpStep {
    size_t instrument;  // index into the list the run was made with
    BackUpStepKind kind;
};

enum class BackUpResult { Pending, Received, Failed, Skipped, Cancelled };

struct BackUpEntry {
    std::string name;
    BackUpResult result = BackUpResult::Pending;
    std::string detail;  // what was received, or why not
};

class BackUpAll {
public:
    explicit BackUpAll(const std::vector<std::string>& instrumentNames);

    // The step to run now; none once every instrument has its result. Asking
    // again before the step's outcome is reported gives the same step.
    std::optional<BackUpStep> Next() const;

    // The outcome of the probe step.
    void ProbeEnded(druvhost::Detection detection);
    // The outcome of the receive step: `configuration` received whole, or
    // `failures` (one line each) and the project left as it was.
    void ReceiveEnded(const std::string& configuration, const std::vector<std::string>& failures);
    // The instrument could not be opened or its step could not run at all.
    void StepFailed(const std::string& why);
    // The musician's Cancel: the instrument under way and all after it are
    // listed as cancelled; what was received before stays.
    void Cancel();

    bool Finished() const { return !Next().has_value(); }
    const std::vector<BackUpEntry>& Entries() const { return entries_; }
    // Counts for the summary's first line.
    size_t Count(BackUpResult result) const;

private:
    BackUpEntry* Current();

    std::vector<BackUpEntry> entries_;
    size_t current_ = 0;
    bool probed_ = false;  // the current instrument answered its probe
};

// The summary a box shows after the run: a line of counts, then one line per
// instrument ("NAME: received Setup", "NAME: failed: why", "NAME: skipped: why").
std::string BackUpSummary(const BackUpAll& run);

}  // namespace windowhost
