// What a safe write asks of the system, beside the C library: one
// implementation in each backend folder.
#pragma once

#include <string>

namespace safe_write_system {

// Tells the temporary files of two processes writing beside each other apart.
unsigned ProcessNumber();
// Anything at `path`, a file or not.
bool FileIsThere(const std::string& path);
// Moves `temporary` over `path`, replacing what is there.
bool PutInPlace(const std::string& temporary, const std::string& path);
void RemoveFile(const std::string& path);

}  // namespace safe_write_system
