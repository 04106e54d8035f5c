// Feeds arbitrary bytes to the project file reader, as a damaged or foreign
// file would. The read must never crash or overrun; a file it accepts must
// encode back to exactly the same bytes, and a refused one must leave the
// project as it was.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "druvhost/project/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    druvhost::Project project;
    project.Put(druvhost::ClassId{1}, {0xAA});
    const druvhost::ProjectReadError error = druvhost::DecodeProject(data, size, project);
    if (error == druvhost::ProjectReadError::None) {
        if (druvhost::EncodeProject(project) != std::vector<uint8_t>(data, data + size)) std::abort();
    } else if (project.entries.size() != 1 || project.entries[0].filterData != std::vector<uint8_t>{0xAA}) {
        std::abort();
    }
    return 0;
}
