// The last projects opened or saved, newest first, as the File menu lists
// them; kept per user in the registry, one text value per project.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "contract/host_registry.h"
#include "platform/registry_editor.h"

namespace windowhost {

constexpr size_t kRecentProjectCount = 4;
constexpr const char* kRecentProjectsKeyPath = kWindowHostRecentProjectsKeyPath;

class RecentProjects {
public:
    // Reads the list ("1" to "4" under the key of the current user); values
    // that are missing, empty or not text are passed over.
    void Load(RegistryEditor& registry);
    // Writes the whole list, clearing the places it no longer fills; false
    // when the registry refused a value.
    bool Store(RegistryEditor& registry) const;

    // Puts `path` first; the same file named again (letters in any case,
    // either slash) moves up instead of standing twice, and the oldest
    // beyond four drops off.
    void Add(const std::string& path);
    // Takes `path` off the list (a project that can no longer be opened).
    void Remove(const std::string& path);

    const std::vector<std::string>& Paths() const { return paths_; }

private:
    std::vector<std::string> paths_;
};

// The menu entry of the project at `index` (0 first): "&1 C:\Songs\Set.dhp",
// an ampersand in the path doubled so that it shows as itself.
std::string RecentProjectLabel(size_t index, const std::string& path);

}  // namespace windowhost
