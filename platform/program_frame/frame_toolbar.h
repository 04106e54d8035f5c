// The toolbars built from icon resources: the programs' frame's, and the
// plug-in's editor page's. Flat, one button per command with a 16 x 16 icon
// and its label to the right; what differs between the two is their look.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

struct FrameToolbarButton {
    int command;
    int iconResource;
    std::string label;  // UTF-8; also the button's tool tip
};

constexpr int kFrameToolbarIconSize = 16;

struct IconToolbarLook {
    int id;              // the child window's identifier
    RECT area;           // client pixels of the owner
    DWORD styles;        // besides the flat list with tool tips, CCS_NOPARENTALIGN and CCS_NORESIZE
    UINT imageColours;   // ILC_COLOR8, ILC_COLOR32, ...
    UINT iconLoadFlags;  // for LoadImage
    // Each label shown through BTNS_SHOWTEXT of mixed buttons; otherwise the
    // list style shows them all.
    bool mixedButtons;
    // The tool tips answered from the labels; otherwise the owner answers
    // them (the toolbar passes TTN_GETDISPINFO on to it).
    bool tipsFromLabels;
};

constexpr int kFrameToolbarId = 1;
constexpr RECT kFrameToolbarArea{0, -3, 300, 28};
constexpr IconToolbarLook kFrameToolbarLook{kFrameToolbarId, kFrameToolbarArea, WS_VISIBLE | CCS_TOP, ILC_COLOR8,
                                            LR_LOADTRANSPARENT | LR_LOADMAP3DCOLORS, true, true};

// Creates the toolbar as child `look.id` of `owner` over `look.area`, all
// buttons enabled, in the order given. The icons come from `module`; a button
// whose icon cannot be loaded shows its label alone, and the buttons after it
// keep their own pictures. The toolbar owns its image list and destroys it
// with itself. Null when the toolbar could not be created.
HWND CreateIconToolbar(HWND owner, HINSTANCE module, const IconToolbarLook& look,
                       const std::vector<FrameToolbarButton>& buttons);

// The frame's toolbar: kFrameToolbarLook.
HWND CreateFrameToolbar(HWND owner, HINSTANCE module, const std::vector<FrameToolbarButton>& buttons);

// Enables or disables the button of `command`; false when the toolbar has no
// such button.
bool EnableFrameToolbarButton(HWND toolbar, int command, bool enabled);
