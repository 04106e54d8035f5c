#include "plugin/host/filter_interfaces.h"

#include <iterator>

#include "plugin/abi/host_interfaces.h"
#include "plugin/host/editor_filter.h"

namespace {

struct InterfaceEntry {
    const IID* iid;
    FilterInterface answer;
};

// Only these are answered; IMPMacOSXHelper is deliberately absent.
const InterfaceEntry kInterfaceTable[] = {
    {&IID_IUnknown, FilterInterface::Initialise},
    {&IID_IMPInitialise, FilterInterface::Initialise},
    {&IID_IPersistStream, FilterInterface::PersistStream},
    {&IID_ISpecifyPropertyPages, FilterInterface::PropertyPages},
    {&IID_IMPEventFilter, FilterInterface::EventFilter},
    {&IID_IMPServices, FilterInterface::Services},
    {&IID_IMPServices2, FilterInterface::Services},
    {&IID_IMPNotificationSink, FilterInterface::NotificationSink},
    {&IID_IDRUVEditorFilter, FilterInterface::EditorFilter},
};

}  // namespace

FilterInterface FindFilterInterface(REFIID iid) {
    for (const InterfaceEntry& entry : kInterfaceTable) {
        if (IsEqualGUID(iid, *entry.iid)) return entry.answer;
    }
    return FilterInterface::None;
}
