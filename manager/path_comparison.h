// Whether two Windows paths written into the registry name the same file.
// Entries made by different starts of the manager, or by different versions
// of it, may spell one path in different ways: in another letter case, with
// forward slashes, doubled or trailing separators, "." and ".." steps, the
// long-path prefix, quotes around it, or (where the system offers them) as
// short 8.3 names.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Whether two paths name one existing file, as the file system tells (its
// identity of the file, which sees through short names, other drives and
// links). Given by the program; tests answer it themselves.
using SameFileFunction = std::function<bool(const std::string& a, const std::string& b)>;

// The path in one spelling: enclosing blanks and one pair of quotes off,
// "\\?\" and "\\?\UNC\" prefixes off, "/" as "\", separators single (a
// leading "\\" of a network name kept), "." steps dropped, ".." steps taken
// back, the dots and blanks Windows ignores at the end of a step dropped, no
// trailing separator, ASCII letters in lower case. Empty for an empty path.
std::string ComparablePath(const std::string& path);

// Whether the two paths name one file: equal in their comparable spelling,
// or, when `sameFile` is given and both paths are not empty, the same file to
// the file system.
bool SamePath(const std::string& a, const std::string& b, const SameFileFunction& sameFile = nullptr);

// A 64-bit digest of the comparable spelling (FNV-1a): how a record keeps a
// path too long for its field. Not a secret: it only has to tell paths apart.
uint64_t PathDigest(const std::string& path);
