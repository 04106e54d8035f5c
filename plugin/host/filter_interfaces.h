// Which of the filter object's interfaces answers an interface identifier.
#pragma once

#include "platform/com_base.h"

enum class FilterInterface {
    None,
    Initialise,  // also the object's IUnknown
    PersistStream,
    PropertyPages,
    EventFilter,
    Services,  // one interface for both service identifiers
    NotificationSink,
    EditorFilter,  // ours, for the editor page
};

FilterInterface FindFilterInterface(REFIID iid);
