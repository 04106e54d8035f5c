// What the window shows before a .syx file is imported: one line per item
// with the messages it takes, what matched nothing and what was skipped, or
// why the file does not fit. And the names exported files get.
#pragma once

#include <string>
#include <vector>

#include "druvhost/syx/syx_file.h"
#include "druvhost/syx/syx_import.h"

namespace windowhost {

struct SyxPreview {
    // Above the list: what the file holds and whether OK imports it.
    std::string heading;
    // The list's rows, in file order.
    std::vector<std::string> lines;
    bool fits = false;
};

// The preview of importing `file` (named `fileName`, without its folder) as
// `import` plans it into `target` (an item's or a configuration's name).
SyxPreview MakeSyxPreview(const std::string& fileName, const druvhost::SyxFile& file,
                          const druvhost::SyxImport& import, const std::string& target);

// "INSTRUMENT - PART.syx", with what a file system refuses in a name
// (control characters, \ / : * ? " < > |, trailing dots and spaces, the
// system's reserved device names) replaced, so that every instrument and item
// gives a file that can be written.
std::string SyxFileName(const std::string& instrument, const std::string& part);

}  // namespace windowhost
