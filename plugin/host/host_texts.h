// Texts the filter object hands to the host: the list of data types and the
// picture addresses, converted from the definition's UTF-8 to zero-terminated
// UTF-16 in blocks from CoTaskMemAlloc of exactly the sizes the host expects.
// The host frees them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/com_base.h"

class DRUVDevice;

// Bits 0 to n-1 for n configurations (all 32 from n = 32 on), and bit 31.
uint32_t DataTypesMask(size_t configurationCount);

// Size of the data-types block: 2 * (4 + sum of (name length + 1)) + 4 bytes,
// each name's length counted in UTF-16 units (of its first 255 bytes).
size_t DataTypesTextBytes(const DRUVDevice& device);
// "All;" and the configuration names separated by ";", none after the last,
// each as the host's list shows it (HostListName: a ';' in a name as ',').
// Null when no memory can be had.
WCHAR* DataTypesText(const DRUVDevice& device);

// `filePath` up to its last backslash or slash; the whole path without one.
std::string DeviceFolder(const std::string& filePath);

constexpr size_t kPictureUrlBytes = 512;
// "file://<folder>/<picture>" in a kPictureUrlBytes block: at most 255 UTF-16
// units, never ending in half a surrogate pair. A picture name that
// CheckPictureFileName refuses gives what no picture gives, "file://<folder>/".
// Null when no memory can be had.
WCHAR* PictureUrl(const std::string& filePath, const std::string& picture);
