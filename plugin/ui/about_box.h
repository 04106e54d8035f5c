// The About box: a modal popup naming the product and the device's template,
// closed by a press of either mouse button anywhere.
#pragma once

#include <windows.h>

#include <string>

class CDRUVAbout {
public:
    explicit CDRUVAbout(std::string deviceText) : device_text_(std::move(deviceText)) {}
    // Blocks until the box is closed.
    void ShowModal(HWND owner);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    std::string device_text_;
};

// "%s %s Template v%s" with the company, product and version.
std::string AboutDeviceText(const std::string& company, const std::string& product, const std::string& version);
