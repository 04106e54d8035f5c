// One manager at a time, through a named mutex: two managers would each keep
// a working copy of the stored instrument list and overwrite each other's.
// A mutex, unlike a search for a window by its caption, cannot be fooled by
// another program's window of that name nor missed while the first manager's
// window is still being created.
#pragma once

#include <windows.h>

#include <string>

// Per session ("Local\"), as the window search it replaces saw only the
// windows of its own desktop; the GUID keeps it apart from other programs'
// names.
extern const wchar_t kManagerInstanceName[];

class SingleInstance {
public:
    explicit SingleInstance(const std::wstring& name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another holder of the name was there first. When the mutex
    // could not be made at all the program runs anyway: refusing to start
    // would be worse than the rare second instance.
    bool First() const { return first_; }

private:
    HANDLE mutex_ = nullptr;
    bool first_ = true;
};
