// The plug-in's two exports: the class factories for the host, and whether
// the module may be unloaded. One module serves every installed device; the
// class a host asks for names the device, and the host's plug-in entry in the
// registry names its definition file.
#pragma once

#include "platform/com_base.h"

#ifndef _WIN32
// On Windows the system headers declare both with these signatures.
STDAPI DllGetClassObject(REFCLSID classId, REFIID riid, void** object);
STDAPI DllCanUnloadNow();
#endif
