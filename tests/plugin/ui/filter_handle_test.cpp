// The page's link to its filter across threads: the page works on the filter
// on its own thread while the host releases the filter on another. Run under
// ThreadSanitizer too (the tsan preset).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

#include "plugin/host/editor_page_link.h"
#include "plugin/host/midi_filter.h"
#include "plugin/ui/filter_handle.h"
#include "tests/support/test_paths.h"

namespace {

using namespace std::chrono_literals;

// {5B1C7E20-3D4A-4F86-9A12-6E0D8C2B4F71}
constexpr GUID kClassId = {0x5B1C7E20, 0x3D4A, 0x4F86, {0x9A, 0x12, 0x6E, 0x0D, 0x8C, 0x2B, 0x4F, 0x71}};

// Only the handle's pointer matters; the filter itself is never called.
IDRUVEditorFilter* const kSomeFilter = reinterpret_cast<IDRUVEditorFilter*>(0x1000);

void WaitFor(const std::atomic<bool>& flag) {
    while (!flag.load()) std::this_thread::yield();
}

// Runs `work` on a thread of its own; false when it has not returned within
// a few seconds, which means it waits for ever (the thread is left to it).
template <typename Work>
bool ReturnsSoon(Work work) {
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> returned = done->get_future();
    std::thread worker([work, done]() mutable {
        work();
        done->set_value();
    });
    // A thread that returned is joined: one still unwinding when the process
    // ends may crash the exit (seen under Wine).
    const bool soon = returned.wait_for(5s) == std::future_status::ready;
    if (soon)
        worker.join();
    else
        worker.detach();
    return soon;
}

TEST(FilterHandle, WithdrawWaitsForTheUseOnThePagesThreadAndNoUseFollows) {
    FilterHandle handle;
    std::atomic<bool> inside{false};
    std::atomic<bool> withdrawing{false};
    std::atomic<bool> destroyed{false};
    std::atomic<bool> sawDestroyed{false};
    std::atomic<bool> laterUseFound{true};
    std::thread page([&] {
        handle.Link(kSomeFilter);
        {
            FilterHandle::Use filter(handle);
            ASSERT_TRUE(filter);
            inside = true;
            WaitFor(withdrawing);
            // The filter must stay whole for as long as this use lasts.
            std::this_thread::sleep_for(30ms);
            sawDestroyed = destroyed.load();
        }
        laterUseFound = static_cast<bool>(FilterHandle::Use(handle));
    });
    WaitFor(inside);
    withdrawing = true;
    handle.Withdraw();
    destroyed = true;
    page.join();
    EXPECT_FALSE(sawDestroyed.load()) << "the filter went while the page still worked on it";
    EXPECT_FALSE(laterUseFound.load()) << "a use after the withdrawal found the filter";
}

TEST(FilterHandle, WithdrawOnThePagesOwnThreadDoesNotWaitForItsCaller) {
    // A host may release the filter from inside a call the page made into
    // it, on the page's thread: waiting for that use would wait for ever.
    auto* handle = new FilterHandle;  // left behind if the withdrawal hangs
    const bool returned = ReturnsSoon([handle] {
        handle->Link(kSomeFilter);
        FilterHandle::Use filter(*handle);
        handle->Withdraw();
    });
    ASSERT_TRUE(returned) << "the withdrawal waited for the use further up its own thread";
    EXPECT_FALSE(FilterHandle::Use(*handle));
    delete handle;
}

TEST(FilterHandle, AwaitWithdrawalWaitsOnlyWhileTheFilterMayStillCall) {
    FilterHandle handle;
    handle.AwaitWithdrawal();  // never linked: at once

    handle.Link(kSomeFilter);
    std::atomic<bool> awaited{false};
    std::thread page([&] {
        handle.AwaitWithdrawal();
        awaited = true;
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(awaited.load()) << "returned while the filter could still call the page";
    handle.Withdraw();
    page.join();
    EXPECT_TRUE(awaited.load());

    handle.Link(kSomeFilter);
    handle.Link(nullptr);  // the page detached itself
    handle.AwaitWithdrawal();
}

// A page as the editor page holds its filter: through the handle, told of
// the filter's end by FilterGone.
class HandlePage : public EditorPageLink {
public:
    virtual ~HandlePage() = default;
    void PortsChanged() override {}
    void DataReceived() override {}
    void FilterGone() override {
        told = true;
        handle.Withdraw();
    }
    FilterHandle handle;
    std::atomic<bool> told{false};
};

// The page lets go of its filter (as a page that is released does) at the
// moment the host's last Release destroys the filter on another thread: the
// filter tells the page while holding its page lock and waits for the page's
// use, so the page's detach must not wait for that lock.
TEST(FilterHandle, PageDetachingWhileItsFilterIsDestroyedOnAnotherThread) {
    auto* filter = new CMidiFilter(kClassId, (druvtest::ExamplesDir() + "/brindle-koss-sd16-mixer.druv").c_str());
    auto* page = new HandlePage;  // left behind if the detach hangs
    std::atomic<bool> inside{false};
    std::atomic<bool> detached{true};
    std::atomic<bool> pageDone{false};
    std::thread pageThread([&] {
        page->handle.Link(filter);
        filter->AttachPage(page);
        {
            FilterHandle::Use use(page->handle);
            inside = true;
            WaitFor(page->told);
            detached = use->AttachPage(nullptr);
        }
        page->handle.AwaitWithdrawal();
        pageDone = true;
    });
    WaitFor(inside);
    const bool released = ReturnsSoon([filter] { filter->Release(); });
    if (!released) {
        ADD_FAILURE() << "the filter's destruction and the page's detach wait for each other";
        std::_Exit(1);  // both threads wait for ever
    }
    pageThread.join();
    EXPECT_FALSE(detached.load()) << "a filter going away is not detached from, it tells the page itself";
    EXPECT_TRUE(page->told.load());
    EXPECT_TRUE(pageDone.load());
    delete page;
}

}  // namespace
