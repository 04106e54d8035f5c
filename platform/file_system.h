// What the portable programs need to know about files, by UTF-8 path. The
// program hands these to its portable core as values or functions, so tests
// can answer them.
#pragma once

#include <string>

// The full path of the running program's executable; empty when unknown.
std::string ModuleFilePath();

#ifdef _WIN32
// The full path of the loaded module (a library or the program) whose handle
// is `module` (an HMODULE; null for the program), at any length; empty when
// unknown.
std::string LoadedModuleFilePath(void* module);
#endif

// `path` up to, not including, its last backslash (or slash); `path` itself
// when it has none.
std::string FolderOfPath(const std::string& path);

// True when a file (not a folder) exists at `path`. No length limit other
// than the system's.
bool FileExists(const std::string& path);

// `path` made absolute against the current folder; `path` unchanged when it
// already is absolute or the system cannot make it so.
std::string AbsolutePath(const std::string& path);

// Whether two paths name one file, as the file system tells (on Windows the
// volume and the file's index, elsewhere the device and the inode). Sees
// through what a comparison of texts cannot: short 8.3 names, one folder
// reached through two drives (as Wine's Z: reaches its C:), links. False when
// either file cannot be opened (a missing file is no file).
bool SameFile(const std::string& a, const std::string& b);
