// When an edit makes a definition of the first format need the later one.
// A file without FormatVersion reads checksum types above 3 as no checksum;
// saved with FormatVersion 2 the same types would come into force. So a
// definition moves to the later format only as a whole: each type whose
// meaning would change is set to what it meant (none) first.
#pragma once

#include "device/druv_device.h"

// Nothing for a device of the later format already.
void MoveToLaterFormat(DRUVDevice& device);
