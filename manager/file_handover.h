// The definition files a second start of the manager hands to the manager
// that already runs, so that opening a ".druv" file while the manager is open
// installs it there. The bytes travel in a window message from whatever
// process sent it, so the receiver treats them as untrusted: anything that is
// not exactly this format is refused whole.
//
// Layout, numbers little-endian:
//   0   8 bytes  "DRUVOPEN"
//   8   4        version, 1
//   12  4        N, the number of paths, 1 to kMaxHandedOverFiles
//   16  ...      N times: a 4-byte length L (1 to kMaxHandedOverPathBytes),
//                then L bytes of UTF-8 (no zero, no control character)
// and nothing after the last path; the whole at most kMaxHandoverBytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The tag the message carries beside the bytes ("DRUV"), so that a message of
// another kind is not even read as ours.
constexpr uint32_t kFileHandoverTag = 0x56555244;
constexpr uint32_t kFileHandoverVersion = 1;
// A command line holds at most 32767 UTF-16 units, so no start can name more
// than that many files, nor a path longer than that.
constexpr size_t kMaxHandedOverFiles = 16384;
constexpr size_t kMaxHandedOverPathBytes = 3 * 32767;
constexpr size_t kMaxHandoverBytes = 256 * 1024;

// The bytes for `paths`, in their order; empty when there are none, too
// many, or one that the format cannot carry (empty, too long, not UTF-8, a
// control character), so that nothing half is sent.
std::vector<uint8_t> EncodeFileHandover(const std::vector<std::string>& paths);

// The paths in `data`; false, `paths` untouched, for anything that is not
// exactly the format above.
bool DecodeFileHandover(const uint8_t* data, size_t size, std::vector<std::string>& paths);
