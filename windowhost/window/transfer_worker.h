// The window's one transfer thread: jobs (probes, transfers, the steps of
// Back Up All) run there one after another in the order given, so that no
// probe ever runs during a transfer. A job tells the window of its end by
// posting to it; the window never waits for this thread while it handles a
// message, only once its message loop has ended.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace windowhost {

class TransferWorker {
public:
    TransferWorker();
    // Runs the jobs still queued, then ends the thread.
    ~TransferWorker();
    TransferWorker(const TransferWorker&) = delete;
    TransferWorker& operator=(const TransferWorker&) = delete;

    void Queue(std::function<void()> job);

private:
    void Run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool ending_ = false;
    std::thread thread_;
};

}  // namespace windowhost
