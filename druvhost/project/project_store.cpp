#include "druvhost/project/project_store.h"

#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/safe_file_write.h"
#include "platform/utf8_file.h"

namespace druvhost {

ProjectLoad LoadProjectFile(const std::string& path, Project& project, std::string& error) {
    errno = 0;
    std::FILE* file = OpenUtf8File(path, "rb");
    if (file == nullptr) {
        if (errno == ENOENT) {
            project = Project();
            return ProjectLoad::Missing;
        }
        error = "cannot open the project file " + path;
        return ProjectLoad::Refused;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = "cannot read the project file " + path;
        return ProjectLoad::Refused;
    }
    const ProjectReadError result = DecodeProject(bytes.data(), bytes.size(), project);
    if (result != ProjectReadError::None) {
        error = path + ": " + DescribeProjectError(result);
        return ProjectLoad::Refused;
    }
    return ProjectLoad::Loaded;
}

bool SaveProjectFile(const std::string& path, const Project& project, std::string& error) {
    const std::vector<uint8_t> bytes = EncodeProject(project);
    if (WriteFileSafely(path, bytes.data(), bytes.size())) return true;
    error = "cannot write the project file " + path;
    return false;
}

}  // namespace druvhost
