// The editor page's link to its filter. The page uses the filter on its
// window's thread; the host may release the filter on any thread, and the
// filter tells its page from its destructor. The hand-over takes no lock:
// every use of the filter on the page's side is a Use, which counts itself
// before it looks at the link, and a filter that goes away withdraws the link
// and then waits until no Use of another thread holds it, so that the page
// never works on a filter that is being destroyed.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

class IDRUVEditorFilter;

class FilterHandle {
public:
    // The page's thread: the filter the page now shows, or null once the page
    // has detached itself from the filter.
    void Link(IDRUVEditorFilter* filter);

    // Any thread, from the filter going away: from now on a Use finds no
    // filter. Returns once no Use of another thread is under way. A Use of
    // this thread is a caller further up, which cannot be waited for.
    void Withdraw();

    // The page's thread, before the page goes: waits until a Withdraw that
    // has begun, or is bound to come for a filter that is going away, has
    // returned, since it still touches this handle. Returns at once when no
    // filter is linked.
    void AwaitWithdrawal() const;

    class Use {
    public:
        explicit Use(FilterHandle& handle);
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

        IDRUVEditorFilter* get() const { return filter_; }
        IDRUVEditorFilter* operator->() const { return filter_; }
        IDRUVEditorFilter& operator*() const { return *filter_; }
        explicit operator bool() const { return filter_ != nullptr; }

    private:
        FilterHandle& handle_;
        IDRUVEditorFilter* filter_;
    };

private:
    std::atomic<IDRUVEditorFilter*> filter_{nullptr};
    std::atomic<int32_t> uses_{0};
    // True from Link of a filter until the page detached itself or the
    // filter's Withdraw returned: while it holds, the filter may still call.
    std::atomic<bool> linked_{false};
    std::atomic<std::thread::id> page_thread_{};
};
