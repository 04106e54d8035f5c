// The programs' About box: the program's icon, one line naming it and its
// version, two pictures and an OK button. Built in memory, so a program only
// supplies the icon and the two bitmaps.
#pragma once

#include <windows.h>

#include <string>

struct AboutBoxContent {
    std::string caption;  // UTF-8, as every text below
    int iconResource = 0;
    std::string text;  // e.g. "DRUV Manager Version 1.0.3"
    int firstPictureResource = 11;
    int secondPictureResource = 12;
};

// Control identifiers inside the box.
constexpr int kAboutBoxIconId = 1100;
constexpr int kAboutBoxTextId = 1101;
constexpr int kAboutBoxFirstPictureId = 1102;
constexpr int kAboutBoxSecondPictureId = 1103;

// Shows the box modally over `owner`, its pictures taken from `module`, and
// returns once OK, Enter, Escape or the close button has closed it; false
// when the box could not be shown.
bool ShowAboutBox(HWND owner, HINSTANCE module, const AboutBoxContent& content);
