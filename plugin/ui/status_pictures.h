// The two detection status pictures (Online, Offline), 64 x 16 pixels, loaded
// from the plug-in file with the system's 3D colours mapped and their
// background in the dialog colour. Pages of any device share them: the first
// page window loads them and the last one to close frees them.
#pragma once

#include <windows.h>

// Each page window acquires them once when it is created and releases them
// when it is destroyed.
void AcquireStatusPictures();
void ReleaseStatusPictures();

// Null while no page window holds them, or when the resource could not be
// loaded.
HBITMAP StatusPicture(bool online);

// Copies the picture unchanged to (x, y) of `dc`.
void DrawStatusPicture(HDC dc, int x, int y, bool online);
