// What both manager benchmarks do, over whichever registry they are given:
// N distinct definitions written into a scratch folder before any timing,
// then installed one by one through the manager's core and all removed with
// Remove All, every box answered (Yes/Ok) and counted. Each round checks its
// outcome outside the timed parts, so a round that installed or removed less
// than it should is reported as a failure instead of as a fast time.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/com_base.h"
#include "platform/registry_editor.h"

// The folder the manager's executable would live in; the plug-in is taken to
// be there, so no install reports a missing companion file.
extern const char kBenchManagerFolder[];

// N definition files, each with its own company, product, device GUID and
// editor GUID, in a fresh folder under the system's temporary folder that is
// removed again with this object.
class DefinitionFolder {
public:
    // `makeGuid` supplies every GUID (two per definition, device first) and
    // returns false when it cannot. Check Ready() afterwards.
    DefinitionFolder(size_t count, const std::function<bool(GUID&)>& makeGuid);
    ~DefinitionFolder();
    DefinitionFolder(const DefinitionFolder&) = delete;
    DefinitionFolder& operator=(const DefinitionFolder&) = delete;

    // False, with Problem() saying why, when a GUID or a file could not be made.
    bool Ready() const { return problem_.empty(); }
    const std::string& Problem() const { return problem_; }
    const std::string& Folder() const { return folder_; }

    size_t Count() const { return paths_.size(); }
    const std::vector<std::string>& Paths() const { return paths_; }
    const std::vector<GUID>& DeviceGuids() const { return devices_; }
    const std::vector<GUID>& EditorGuids() const { return editors_; }

private:
    std::string folder_;
    std::vector<std::string> paths_;
    std::vector<GUID> devices_;
    std::vector<GUID> editors_;
    std::string problem_;
};

// GUIDs that differ only in a counter: the same every run, so that runs over
// the in-memory registry meet the same key order.
std::function<bool(GUID&)> CountingGuids();

struct RoundTimes {
    std::vector<double> installMs;  // one per definition, in install order
    double removeAllMs = 0;         // the whole Remove All
    size_t boxes = 0;               // boxes shown during the round

    double TotalInstallMs() const;
};

// One round over `registry`: a fresh manager installs every definition, then
// Remove All takes them out again. `nowMs` is a monotonic clock in
// milliseconds; only InstallDevice and RemoveAll are inside the timed spans.
// False, with `problem` set, when an install or the removal did not do what
// it should (a box other than the expected one, an item missing from the
// list, an entry that is not in the registry after installing or still there
// after removing).
bool RunInstallRemoveRound(RegistryEditor& registry, const DefinitionFolder& definitions,
                           const std::function<double()>& nowMs, RoundTimes& times, std::string& problem);

// The middle value (the mean of the two middle ones for an even count);
// zero for none.
double Median(std::vector<double> values);
