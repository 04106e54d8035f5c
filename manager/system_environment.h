// The install core's surroundings in an installed program: the system
// registry, the folder of the running executable (DRUV.dll is expected beside
// it) and the file system. The Manager and druvhost both install through it,
// so that both recognise the same entries as their own.
#pragma once

#include "manager/instrument_manager.h"

ManagerEnvironment SystemManagerEnvironment();
