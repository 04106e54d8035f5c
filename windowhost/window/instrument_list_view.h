// The instrument list on the left: one row per installed instrument with
// its online light and the date of its last receive into this project.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace windowhost {

// The lights, as the list's small images in this order.
enum class OnlineLight { Unknown, Online, Offline, NoProbe };

class InstrumentListView {
public:
    InstrumentListView() = default;
    InstrumentListView(const InstrumentListView&) = delete;
    InstrumentListView& operator=(const InstrumentListView&) = delete;

    // Sets up the list control `list`: its columns and its lights.
    void Attach(HWND list);
    void Clear();
    void Add(const std::string& name, OnlineLight light, const std::string& received);
    void SetLight(int row, OnlineLight light);
    void SetReceived(int row, const std::string& received);
    // -1 when nothing is selected.
    int Selected() const;
    void Select(int row);
    OnlineLight Light(int row) const;

private:
    HWND list_ = nullptr;
    // The list destroys it with itself (it does not share image lists).
    HIMAGELIST lights_ = nullptr;
};

}  // namespace windowhost
