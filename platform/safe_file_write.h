// Writing a whole file so that a failed or interrupted write never destroys
// the file that was there: the bytes go to a new file beside the target,
// which then takes the target's place in one step of the file system.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>

// How the bytes reach the temporary file; the default is fwrite of the whole
// block. Tests hand in one that fails part-way, as a full disk would.
using FileChunkWriter = std::function<bool(std::FILE* file, const unsigned char* bytes, size_t size)>;

// Writes `size` bytes to the file at the UTF-8 `path`, replacing it if it
// exists. False when anything failed; the file at `path` is then as it was
// (or still absent) and the temporary file is gone.
bool WriteFileSafely(const std::string& path, const void* bytes, size_t size,
                     const FileChunkWriter& writer = FileChunkWriter());

// Flushes the stream's buffer and then the system's own caches of the file to
// the disk, so that a power cut after a safe write finds the new bytes. False
// when either refuses (a stream the system cannot write, a failing disk).
bool FlushFileToDisk(std::FILE* file);

// The temporary file's name for `path` and the attempt `attempt`: in the same
// folder, so that the final move never crosses file systems.
std::string TemporaryFileNameFor(const std::string& path, unsigned attempt);
