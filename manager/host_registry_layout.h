// The host's registry layout (contract/host_registry.h) for a class given as
// a GUID.
#pragma once

#include <string>

#include "contract/host_registry.h"
#include "platform/com_base.h"

// The braced upper-case form, e.g. "{5464D9CE-17FD-4E28-A451-79A27E39BBC4}".
std::string ClassIdText(const GUID& classId);
std::string ClassKeyPath(const GUID& classId);
std::string ClassServerKeyPath(const GUID& classId);
std::string HostPluginKeyPath(const GUID& deviceId);
