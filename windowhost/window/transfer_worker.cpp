#include "windowhost/window/transfer_worker.h"

#include <windows.h>
#include <objbase.h>

namespace windowhost {

TransferWorker::TransferWorker() : thread_([this] { Run(); }) {}

TransferWorker::~TransferWorker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void TransferWorker::Queue(std::function<void()> job) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void TransferWorker::Run() {
    // Back Up All creates each instrument's filter on this thread; the
    // plug-in's classes live in either kind of apartment.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return ending_ || !jobs_.empty(); });
            if (jobs_.empty()) break;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
    if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace windowhost
