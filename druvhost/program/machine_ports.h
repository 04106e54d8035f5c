// druvhost's machine ports: the seam the session declares.
#pragma once

#include "druvhost/session/machine_ports.h"
