// The project file on disk: read whole and checked before anything is used,
// written through a temporary file so that a failed save leaves the old one.
#pragma once

#include <string>

#include "druvhost/project/project_file.h"

namespace druvhost {

enum class ProjectLoad { Loaded, Missing, Refused };

// Missing: no file at `path` (`project` emptied). Refused: `error` says why
// and `project` is untouched.
ProjectLoad LoadProjectFile(const std::string& path, Project& project, std::string& error);

// False, with `error`, when the file could not be written; the file that was
// there is then unchanged.
bool SaveProjectFile(const std::string& path, const Project& project, std::string& error);

}  // namespace druvhost
