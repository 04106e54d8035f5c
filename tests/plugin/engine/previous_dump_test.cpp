// What a receive leaves in an item that held a dump: a receive that fails or
// is cancelled before the item's loops are done gives the old dump back, byte
// for byte; an item that held none keeps the whole loops it received; loops
// that end by their time-out are no failure. In virtual time.
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "plugin/engine/previous_dump.h"
#include "plugin/engine/receive_loop.h"
#include "transfer_test_support.h"

// The sanitizers' runtimes bring their own allocation functions, which a
// program cannot replace beside them.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define DRUV_SANITIZER_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define DRUV_SANITIZER_ALLOCATOR 1
#endif
#endif

// The next nothrow array allocation of exactly this many bytes fails, once.
// Everything else in this program allocates as usual.
static std::atomic<size_t> failing_allocation_size{0};

#ifndef DRUV_SANITIZER_ALLOCATOR
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    size_t armed = size;
    if (size != 0 && failing_allocation_size.compare_exchange_strong(armed, 0)) return nullptr;
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}
#endif

namespace {

// A bank of four loops of 5 bytes after a one-loop scene of 10 bytes. Both
// held older dumps: the scene one of 11 bytes, the bank two loops.
class PreviousDumpTest : public TransferTest {
protected:
    void SetUp() override {
        AddTemplate("Scene", 10);
        DRUVTemplate* bank = AddTemplate("Bank", 20);
        bank->SetNumLoops(4);
        bank->SetLoopRecvSize(5);
        bank->SetRequest("F0 7D 10 F1 F7");
        Build();
        Hold(0, OldScene());
        Hold(1, OldBank());
    }

    static Bytes OldScene() {
        Bytes scene = SysX(10, 0x0A);
        scene.push_back(0xFF);
        return scene;
    }
    static Bytes OldBank() { return Loops({SysX(5, 0x0B), SysX(5, 0x0C)}); }
    static Bytes NewScene() {
        Bytes scene = SysX(10, 0x31);
        scene.push_back(0xFF);
        return scene;
    }
    // Each message followed by its loop marker.
    static Bytes Loops(const std::vector<Bytes>& replies) {
        Bytes stored;
        for (const Bytes& reply : replies) {
            Append(stored, reply);
            stored.push_back(0xFF);
        }
        return stored;
    }

    void Hold(size_t index, const Bytes& dump) {
        DumpItem& item = *data.Items.at(index);
        ASSERT_LE(dump.size(), item.Capacity());
        if (!dump.empty()) std::memcpy(item.Data(), dump.data(), dump.size());
        item.Length.store(static_cast<int32_t>(dump.size()));
    }

    // Each SysX the engine sends is handed to `answer` with its number,
    // counted from 1 (the scene's request is 1, the bank's loops 2 to 5).
    void OnRequest(std::function<void(int request)> answer) {
        auto count = std::make_shared<int>(0);
        out.SetAnswer([answer, count](const SentEvent& sent) {
            if (sent.IsSysX()) answer(++*count);
        });
    }
    // The scene and the bank's first two loops are answered in full; from the
    // bank's third loop on `third` decides.
    void AnswerTwoLoopsThen(std::function<void(int request)> third) {
        OnRequest([this, third](int request) {
            if (request == 1) Reply(SysX(10, 0x31));
            if (request == 2) Reply(SysX(5, 0x21));
            if (request == 3) Reply(SysX(5, 0x22));
            if (request >= 4) third(request);
        });
    }
};

TEST_F(PreviousDumpTest, WhatEachEndOfTheReceiveLeavesInTheBank) {
    const Bytes twoNewLoops = Loops({SysX(5, 0x21), SysX(5, 0x22)});
    struct Case {
        const char* what;
        Bytes before;                            // what the bank held
        std::function<void()> arrange;           // answers, time-outs, cancels
        bool succeeds;
        Bytes after;                             // what the bank holds then
    };
    const std::vector<Case> cases = {
        {"missing bytes in the third loop", OldBank(),
         [&] { AnswerTwoLoopsThen([&](int) { Reply(SysX(4, 0x23)); }); }, false, OldBank()},
        {"an overrun in the third loop", OldBank(),
         [&] { AnswerTwoLoopsThen([&](int) { Reply(SysX(6, 0x23)); }); }, false, OldBank()},
        {"cancelled in the third loop", OldBank(),
         [&] { AnswerTwoLoopsThen([&](int) { state.abort = true; }); }, false, OldBank()},
        {"the host's output gone before the third loop's request", OldBank(),
         [&] {
             OnRequest([&](int request) {
                 if (request == 1) Reply(SysX(10, 0x31));
                 if (request == 2) Reply(SysX(5, 0x21));
                 if (request == 3) {
                     Reply(SysX(5, 0x22));
                     state.host_link = nullptr;
                 }
             });
         },
         false, OldBank()},
        {"held nothing before, missing bytes in the third loop", Bytes{},
         [&] { AnswerTwoLoopsThen([&](int) { Reply(SysX(4, 0x23)); }); }, false, twoNewLoops},
        {"held only loop markers before, cancelled in the third loop", Bytes{0xFF, 0xFF, 0xFF, 0xFF},
         [&] { AnswerTwoLoopsThen([&](int) { state.abort = true; }); }, false, twoNewLoops},
        {"silent from the third loop, ended by the time-outs", OldBank(),
         [&] {
             device.Template(1)->SetTimeOut(1);
             AnswerTwoLoopsThen([](int) {});
         },
         true, Loops({SysX(5, 0x21), SysX(5, 0x22), {}, {}})},
        {"cancelled in the pause after the last loop", OldBank(),
         [&] {
             data.ItemDelay = 100;
             AnswerTwoLoopsThen([&](int) { Reply(SysX(5, 0x24)); });
             // The bank's four loops are stored once its Length reaches 24.
             clock.SetSleepHook([&](uint32_t) {
                 if (data.Items[1]->Length.load() == 24) state.abort = true;
             });
         },
         false, Loops({SysX(5, 0x21), SysX(5, 0x22), SysX(5, 0x24), SysX(5, 0x24)})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        device.Template(1)->SetTimeOut(0);
        data.ItemDelay = 0;
        clock.SetSleepHook(nullptr);
        state.abort = false;
        state.host_link = &out;
        Hold(0, OldScene());
        Hold(1, c.before);
        c.arrange();

        EXPECT_EQ(c.succeeds, Receive());
        EXPECT_EQ(c.after, Stored(1));
        EXPECT_EQ(NewScene(), Stored(0)) << "the item done before keeps its new dump";
        ExpectReceiveStateCleared();
    }
}

TEST_F(PreviousDumpTest, WithoutMemoryToKeepTheOldDumpTheItemIsLeftAloneAndNothingIsAsked) {
#ifdef DRUV_SANITIZER_ALLOCATOR
    GTEST_SKIP() << "a sanitizer's allocator is in use, and no allocation can be made to fail beside it";
#endif
    // A bank asked for anyway would fail in its first loop.
    OnRequest([&](int request) { Reply(request == 1 ? SysX(10, 0x31) : SysX(4, 0x21)); });
    failing_allocation_size = OldBank().size();

    EXPECT_FALSE(Receive());
    EXPECT_EQ(0u, failing_allocation_size.load()) << "the copy of the bank's dump was not even tried";
    EXPECT_EQ(OldBank(), Stored(1));
    EXPECT_EQ(NewScene(), Stored(0));
    EXPECT_EQ(1u, out.WireMessages().size()) << "the bank's request never went out";
    EXPECT_TRUE(ShowedText("Error! Not enough memory to keep the stored Bank. Cancelling..."));
    ExpectReceiveStateCleared();
}

}  // namespace
