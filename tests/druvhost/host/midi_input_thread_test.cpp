// The host's input thread hands arriving messages to the connected filter on
// its own thread, in batches, and lets go of the filter when disconnected.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "druvhost/host/midi_input_thread.h"

namespace {

class RecordingFilter : public IMPEventFilter {
public:
    virtual ~RecordingFilter() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE ProcessEvents(IMPEventList* list) override {
        std::lock_guard<std::mutex> lock(mutex);
        threads.push_back(std::this_thread::get_id());
        uintptr_t position = 0;
        MPEvent event{};
        uint32_t value = 0;
        for (HRESULT result = list->First(&position, &event, &value, 0x3F0FFF); result == S_OK && position;
             result = list->Next(&position, &event, &value, 0x3F0FFF)) {
            ports.push_back(event.Port);
            if (event.Type == MP_EVENT_SYSX) lengths.push_back(event.Length);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetEventRouting(uint32_t*, uint32_t*, uint32_t*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetEventRouting(uint32_t) override { return S_OK; }

    std::atomic<ULONG> references{0};
    std::mutex mutex;
    std::vector<std::thread::id> threads;
    std::vector<uint32_t> ports;
    std::vector<uint32_t> lengths;
};

TEST(MidiInputThreadTest, DeliversOnItsOwnThreadAndReleasesTheFilter) {
    RecordingFilter filter;
    {
        druvhost::MidiInputThread input;
        input.Connect(&filter);
        EXPECT_EQ(1u, filter.references.load());
        const uint8_t sysx[] = {0xF0, 0x7D, 0x01, 0x02, 0xF7};
        const uint8_t note[] = {0x91, 60, 1};
        for (int i = 0; i < 20; ++i) input.Deliver(3, sysx, sizeof(sysx));
        input.Deliver(4, note, sizeof(note));
        ASSERT_TRUE(input.WaitUntilIdle(std::chrono::seconds(30)));
        EXPECT_EQ(21u, input.MessagesDelivered());
        EXPECT_GE(input.BatchesDelivered(), 1u);
        {
            std::lock_guard<std::mutex> lock(filter.mutex);
            ASSERT_EQ(21u, filter.ports.size());
            EXPECT_EQ(4u, filter.ports.back());
            for (uint32_t length : filter.lengths) EXPECT_EQ(4u, length);
            for (std::thread::id id : filter.threads) EXPECT_NE(std::this_thread::get_id(), id);
        }

        input.Connect(nullptr);
        EXPECT_EQ(0u, filter.references.load());
        input.Deliver(3, sysx, sizeof(sysx));
        ASSERT_TRUE(input.WaitUntilIdle(std::chrono::seconds(30)));
        EXPECT_EQ(21u, input.MessagesDelivered()) << "nothing reaches a disconnected filter";
        input.Connect(&filter);
    }
    EXPECT_EQ(0u, filter.references.load()) << "the thread lets go when it ends";
}

}  // namespace
