// The common controls the frames use (toolbars, tool tips, list views)
// registered once per process before the first of them is created.
#pragma once

void InitialiseFrameControls();
