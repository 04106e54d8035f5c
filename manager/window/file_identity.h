// Whether two paths name one file, as the file system tells: the volume and
// the file's index. Sees through what a comparison of texts cannot: short
// 8.3 names, one folder reached through two drives (as Wine's Z: reaches
// its C:), links.
#pragma once

#include <string>

// False when either file cannot be opened (a missing file is no file).
bool SameFile(const std::string& a, const std::string& b);
