// Reading device definitions. DRUVDevice::LoadDefinition reads the file at
// FilePath into memory and hands it to LoadDefinitionFromMemory, so that a
// file and a buffer (the fuzzer's input) take exactly the same path.
#pragma once

#include <cstddef>
#include <cstdint>

class DRUVDevice;

// Files larger than this are not definitions (real ones are a few kilobytes)
// and are refused like a file that does not parse.
constexpr size_t kMaxDefinitionFileSize = 16 * 1024 * 1024;

// Resets the device, empties its lists and fills it from the XML in `data`.
// 0 when the XML parsed; -1 when it did not, after the error box that names
// the device's FilePath. GUIDs missing from the XML keep their values.
int LoadDefinitionFromMemory(DRUVDevice& device, const uint8_t* data, size_t size);
