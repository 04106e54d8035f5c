// How a box too narrow for a path shows it: "..." and the path's end, from
// a folder separator where the box allows one, so that the file's name and
// the folders nearest it stay readable.
#pragma once

#include <functional>
#include <string>

inline constexpr char kPathEllipsis[] = "...";

// The path itself when `fits` takes it, else the longest tail after
// kPathEllipsis that it takes, beginning at a separator ("\", "/") if one
// such tail fits and at a character of the file's name otherwise; "..." and
// the last character when nothing fits.
std::string PathTail(const std::string& path, const std::function<bool(const std::string&)>& fits);
