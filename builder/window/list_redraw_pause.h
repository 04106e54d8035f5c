// Lists that the core may fill with many items do not redraw or recompute
// their scroll bars item by item while it works: they are drawn once when it
// is done. A thousand templates would otherwise take seconds under Wine.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

class ListRedrawPause {
public:
    ListRedrawPause(HWND dialog, std::initializer_list<int> lists);
    ~ListRedrawPause();
    ListRedrawPause(const ListRedrawPause&) = delete;
    ListRedrawPause& operator=(const ListRedrawPause&) = delete;

private:
    std::vector<HWND> lists_;
};
