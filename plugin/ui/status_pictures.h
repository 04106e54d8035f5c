// The two detection status pictures (Online, Offline), 64 x 16 pixels, loaded
// once per process from the plug-in file with the system's 3D colours mapped
// and their background in the dialog colour. Never freed: pages of any device
// share them for the life of the process.
#pragma once

#include <windows.h>

void LoadStatusPictures();
HBITMAP StatusPicture(bool online);

// Copies the picture unchanged to (x, y) of `dc`.
void DrawStatusPicture(HDC dc, int x, int y, bool online);
