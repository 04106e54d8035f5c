// The frame's toolbar: flat, at the top edge, one button per command with a
// 16 x 16 icon and its label to the right, tool tips showing the labels.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct FrameToolbarButton {
    int command;
    int iconResource;
    std::string label;  // UTF-8; also the button's tool tip
};

constexpr int kFrameToolbarId = 1;
constexpr RECT kFrameToolbarArea{0, -3, 300, 28};  // client pixels of the owner
constexpr int kFrameToolbarIconSize = 16;

// Creates the toolbar as child `kFrameToolbarId` of `owner` over
// `kFrameToolbarArea`, all buttons enabled, in the order given. The icons
// come from `module`; a button whose icon cannot be loaded shows its label
// alone, and the buttons after it keep their own pictures. The toolbar owns
// its image list and destroys it with itself. Null when the toolbar could not
// be created.
HWND CreateFrameToolbar(HWND owner, HINSTANCE module, const std::vector<FrameToolbarButton>& buttons);

// Enables or disables the button of `command`; false when the toolbar has no
// such button.
bool EnableFrameToolbarButton(HWND toolbar, int command, bool enabled);
