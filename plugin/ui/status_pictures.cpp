#include "plugin/ui/status_pictures.h"

#include <atomic>

#include "plugin/ui/plugin_module.h"
#include "plugin/ui/resource_ids.h"

namespace {

constexpr int kPictureWidth = 64;
constexpr int kPictureHeight = 16;

std::atomic<HBITMAP> online_picture{nullptr};
std::atomic<HBITMAP> offline_picture{nullptr};

void LoadOnce(std::atomic<HBITMAP>& slot, int resource) {
    if (slot.load(std::memory_order_acquire)) return;
    // With both flags the first pixel's colour becomes the dialog colour and
    // the grey shades follow the system's 3D colours.
    HBITMAP picture = static_cast<HBITMAP>(LoadImageA(PluginModule(), MAKEINTRESOURCEA(resource), IMAGE_BITMAP, 0,
                                                      0, LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT));
    HBITMAP expected = nullptr;
    if (picture && !slot.compare_exchange_strong(expected, picture, std::memory_order_acq_rel))
        DeleteObject(picture);  // another page's thread was first
}

}  // namespace

void LoadStatusPictures() {
    LoadOnce(online_picture, IDB_ONLINE);
    LoadOnce(offline_picture, IDB_OFFLINE);
}

HBITMAP StatusPicture(bool online) {
    return (online ? online_picture : offline_picture).load(std::memory_order_acquire);
}

void DrawStatusPicture(HDC dc, int x, int y, bool online) {
    HBITMAP picture = StatusPicture(online);
    if (!picture) return;
    HDC source = CreateCompatibleDC(dc);
    if (!source) return;
    HGDIOBJ previous = SelectObject(source, picture);
    BitBlt(dc, x, y, kPictureWidth, kPictureHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
}
