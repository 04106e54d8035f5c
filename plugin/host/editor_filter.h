// The filter object as its editor page sees it: a narrow interface of our
// own, which the page asks the host's object for. An object that does not
// answer it is not one of ours, and the page refuses it instead of guessing
// at its layout. Both sides live in this process; the interface is never
// marshalled.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/com_base.h"
#include "plugin/abi/host_interfaces.h"
#include "plugin/engine/transfer_context.h"

class DRUVData;
class DRUVDevice;
class EditorPageLink;

// {6C2F3E71-0B5D-4C7A-9E43-2D8A61F0B7C5}
constexpr IID IID_IDRUVEditorFilter = {0x6C2F3E71, 0x0B5D, 0x4C7A, {0x9E, 0x43, 0x2D, 0x8A, 0x61, 0xF0, 0xB7, 0xC5}};

// One port list as the page shows it: the host's names, then the entry that
// stands for no port, and the entry of the port in use.
struct PortChoices {
    std::vector<std::string> names;  // UTF-8, the host's order
    size_t selected = 0;             // names.size() stands for "[none]"
};

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class IDRUVEditorFilter : public IUnknown {
public:
    virtual const DRUVDevice& EditedDevice() = 0;
    // The settings the page edits (device ID, channel, delay: atomics) and
    // the stored dumps it lists. The port lists are not for the page to
    // read: they change on the host's notification thread (PortList).
    virtual DRUVData& EditedData() = 0;
    // For the detection probe, which the page runs on its own thread.
    virtual TransferContext EditedContext() = 0;
    virtual void MarkDirty() = 0;

    // A copy of one direction's port list, taken while no notification
    // changes it.
    virtual PortChoices PortList(MPPortDirection direction) = 0;
    // The user chose the entry at `position` ("[none]" or any position
    // outside the list: no port). The old port is given back to the host and
    // the new one claimed. True when the choice differs from the port in use.
    virtual bool ChoosePort(MPPortDirection direction, size_t position) = 0;

    // The page attaches itself (null detaches). No reference is held either
    // way; the filter tells an attached page when it goes. False, and nothing
    // changed, when the filter is going away: it then tells the page itself.
    virtual bool AttachPage(EditorPageLink* page) = 0;
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
