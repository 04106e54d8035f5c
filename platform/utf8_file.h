// Opening files by UTF-8 names. The C library's fopen takes a name in the
// system's 8-bit code page on Windows, where a name with characters outside
// it (or any UTF-8 beyond ASCII) finds no file; there the name goes through
// the wide API instead.
#pragma once

#include <cstdio>
#include <string>

// fopen of the file named by the UTF-8 `path` with the C `mode` ("rb", "wb").
// Null when it cannot be opened.
std::FILE* OpenUtf8File(const std::string& path, const char* mode);
