// The paths of files dropped on a window, as the shell hands them over.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

// Every path in `drop`, in the shell's order, as UTF-8 and whole whatever its
// length; then releases the drop. Each path's length is asked first, so none
// is cut to a fixed buffer: a path too long to install must reach the
// installer whole and be refused there with its own message, not be cut into
// the name of some other file.
std::vector<std::string> TakeDroppedFiles(HDROP drop);
