#include "druvhost/host/midi_input_thread.h"

#include "druvhost/host/host_event_list.h"

namespace druvhost {

MidiInputThread::MidiInputThread() : thread_([this] { Run(); }) {}

MidiInputThread::~MidiInputThread() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    if (filter_) filter_->Release();
}

void MidiInputThread::Connect(IMPEventFilter* filter) {
    if (filter) filter->AddRef();
    IMPEventFilter* old = nullptr;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        idle_.wait(lock, [this] { return !delivering_; });
        old = filter_;
        filter_ = filter;
    }
    if (old) old->Release();
}

void MidiInputThread::Deliver(uint32_t port, const uint8_t* message, size_t size) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(Arrival{port, std::vector<uint8_t>(message, message + size)});
    }
    wake_.notify_all();
}

bool MidiInputThread::WaitUntilIdle(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return idle_.wait_for(lock, timeout, [this] { return queue_.empty() && !delivering_; });
}

uint32_t MidiInputThread::BatchesDelivered() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return batches_;
}

uint32_t MidiInputThread::MessagesDelivered() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

void MidiInputThread::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) break;
        HostEventList list;
        while (!queue_.empty()) {
            Arrival& arrival = queue_.front();
            list.AddMessage(arrival.port, arrival.bytes.data(), arrival.bytes.size());
            queue_.pop_front();
        }
        IMPEventFilter* filter = filter_;
        delivering_ = true;
        lock.unlock();
        if (filter && list.Size() > 0) filter->ProcessEvents(&list);
        lock.lock();
        delivering_ = false;
        if (filter) {
            ++batches_;
            messages_ += static_cast<uint32_t>(list.Size());
        }
        idle_.notify_all();
    }
    delivering_ = false;
    idle_.notify_all();
}

}  // namespace druvhost
