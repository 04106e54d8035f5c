#include "plugin/ui/status_pictures.h"

#include <atomic>

#include "plugin/ui/plugin_module.h"
#include "plugin/ui/resource_ids.h"
#include "plugin/ui/shared_resource.h"

namespace {

constexpr int kPictureWidth = 64;
constexpr int kPictureHeight = 16;

// Read by painting on the page windows' threads while a page holds them.
std::atomic<HBITMAP> online_picture{nullptr};
std::atomic<HBITMAP> offline_picture{nullptr};

HBITMAP LoadPicture(int resource) {
    // With both flags the first pixel's colour becomes the dialog colour and
    // the grey shades follow the system's 3D colours.
    return static_cast<HBITMAP>(LoadImageA(PluginModule(), MAKEINTRESOURCEA(resource), IMAGE_BITMAP, 0, 0,
                                           LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT));
}

void LoadBoth() {
    online_picture.store(LoadPicture(IDB_ONLINE), std::memory_order_release);
    offline_picture.store(LoadPicture(IDB_OFFLINE), std::memory_order_release);
}

void FreeBoth() {
    for (std::atomic<HBITMAP>* slot : {&online_picture, &offline_picture}) {
        if (HBITMAP picture = slot->exchange(nullptr, std::memory_order_acq_rel)) DeleteObject(picture);
    }
}

SharedResource& Pictures() {
    static SharedResource pictures(&LoadBoth, &FreeBoth);
    return pictures;
}

}  // namespace

void AcquireStatusPictures() { Pictures().Acquire(); }

void ReleaseStatusPictures() { Pictures().Release(); }

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
