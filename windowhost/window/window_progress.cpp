#include "windowhost/window/window_progress.h"

#include <string>

#include "platform/wide_text.h"

namespace windowhost {

HRESULT STDMETHODCALLTYPE WindowProgress::Progress(void*, uint32_t done, uint32_t total, const WCHAR* text) {
    std::string utf8;
    if (text != nullptr) utf8 = Utf8Text(reinterpret_cast<const wchar_t*>(text));
    if (mailbox_.Leave(done, total, text != nullptr ? &utf8 : nullptr)) PostMessageW(window_, message_, 0, 0);
    return S_OK;
}

}  // namespace windowhost
