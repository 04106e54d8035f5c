// What druv-inspect prints about a device definition: a readable summary and
// the warnings an author would want before installing it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

class DRUVDevice;

void WriteDefinitionSummary(const DRUVDevice& device, std::ostream& out);

// Problems that the reader accepts silently but that make a transfer fail or
// misbehave, one sentence each.
std::vector<std::string> DefinitionWarnings(const DRUVDevice& device);
