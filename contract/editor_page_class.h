// The editor page's class: the one page that every device's filter names and
// that the component server makes, whatever the device. The Manager registers
// it under this identifier for the host, and no uninstall ever removes it.
#pragma once

#include "platform/com_base.h"

// {5464D9CE-17FD-4E28-A451-79A27E39BBC4}
constexpr CLSID kPropPageClassId = {0x5464D9CE, 0x17FD, 0x4E28, {0xA4, 0x51, 0x79, 0xA2, 0x7E, 0x39, 0xBB, 0xC4}};

// The class's name under HKEY_CLASSES_ROOT.
constexpr char kEditorPageClassName[] = "DRUV Editor";
