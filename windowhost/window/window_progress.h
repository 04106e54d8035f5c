// The progress sink the window hands the plug-in: each report goes into the
// mailbox on the transfer thread, and a message tells the window when it has
// not been told already.
#pragma once

#include <windows.h>

#include "plugin/abi/host_interfaces.h"
#include "windowhost/core/progress_mailbox.h"

namespace windowhost {

class WindowProgress : public IMPProgressSink {
public:
    WindowProgress(ProgressMailbox& mailbox, HWND window, UINT message)
        : mailbox_(mailbox), window_(window), message_(message) {}
    virtual ~WindowProgress() = default;

    HRESULT STDMETHODCALLTYPE Progress(void* context, uint32_t done, uint32_t total, const WCHAR* text) override;

private:
    ProgressMailbox& mailbox_;
    HWND window_;
    UINT message_;
};

}  // namespace windowhost
