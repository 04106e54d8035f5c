// The seam through which tests answer what a person would otherwise answer
// (message boxes, file dialogs): one process-wide handler in place of the
// system's, and a guard that installs one for its lifetime. Not meant to be
// swapped while another thread asks.
#pragma once

#include <utility>

// The installed handler; empty means the system's.
template <typename Handler>
class InstalledHandler {
public:
    const Handler& Get() const { return handler_; }
    // Returns the handler that was installed before.
    Handler Replace(Handler handler) {
        Handler previous = std::move(handler_);
        handler_ = std::move(handler);
        return previous;
    }

private:
    Handler handler_;
};

// Installs a handler through `Set` and restores the previous one afterwards.
template <typename Handler, Handler (*Set)(Handler)>
class ScopedHandler {
public:
    explicit ScopedHandler(Handler handler) : previous_(Set(std::move(handler))) {}
    ~ScopedHandler() { Set(std::move(previous_)); }
    ScopedHandler(const ScopedHandler&) = delete;
    ScopedHandler& operator=(const ScopedHandler&) = delete;

private:
    Handler previous_;
};
