// Something all page windows of the process share, made when the first of
// them needs it and undone when the last one lets go: nothing of it outlives
// the pages, and so nothing outlives the module, which cannot unload while a
// page lives. Page windows of several threads may acquire and release it at
// once.
#pragma once

#include <mutex>

class SharedResource {
public:
    using Action = void (*)();

    // `make` runs for the first holder, `undo` when the last one lets go.
    SharedResource(Action make, Action undo) : make_(make), undo_(undo) {}
    SharedResource(const SharedResource&) = delete;
    SharedResource& operator=(const SharedResource&) = delete;

    void Acquire();
    // Each Release matches one Acquire.
    void Release();

    int Holders() const;

private:
    const Action make_;
    const Action undo_;
    mutable std::mutex mutex_;
    int holders_ = 0;
};
