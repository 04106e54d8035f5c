#include "tests/plugin/host/filter/filter_test_support.h"

#include <cstdlib>

namespace {

#ifndef _WIN32
struct TaskMemoryState {
    std::mutex mutex;
    std::map<const void*, size_t> blocks;
    int failures = 0;
    TaskMemoryFunctions previous{};
};

TaskMemoryState& State() {
    static TaskMemoryState state;
    return state;
}

void* RecordingAllocate(size_t size) {
    TaskMemoryState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (state.failures > 0) {
        --state.failures;
        return nullptr;
    }
    void* block = std::malloc(size ? size : 1);
    if (block) state.blocks[block] = size;
    return block;
}

void RecordingRelease(void* block) {
    TaskMemoryState& state = State();
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        state.blocks.erase(block);
    }
    std::free(block);
}
#endif

}  // namespace

#ifdef _WIN32
TaskMemoryProbe::TaskMemoryProbe() = default;
TaskMemoryProbe::~TaskMemoryProbe() = default;

size_t TaskMemoryProbe::BlockSize(const void* block) const {
    IMalloc* allocator = nullptr;
    if (FAILED(CoGetMalloc(1, &allocator)) || !allocator) return 0;
    SIZE_T size = allocator->GetSize(const_cast<void*>(block));
    allocator->Release();
    return size == static_cast<SIZE_T>(-1) ? 0 : size;
}

bool TaskMemoryProbe::FailNext(int) { return false; }
long TaskMemoryProbe::LiveBlocks() const { return -1; }
#else
TaskMemoryProbe::TaskMemoryProbe() {
    TaskMemoryState& state = State();
    state.previous = TaskMemory();
    state.failures = 0;
    TaskMemory() = TaskMemoryFunctions{&RecordingAllocate, &RecordingRelease};
}

TaskMemoryProbe::~TaskMemoryProbe() {
    TaskMemory() = State().previous;
    std::lock_guard<std::mutex> lock(State().mutex);
    State().blocks.clear();
    State().failures = 0;
}

size_t TaskMemoryProbe::BlockSize(const void* block) const {
    std::lock_guard<std::mutex> lock(State().mutex);
    auto found = State().blocks.find(block);
    return found == State().blocks.end() ? 0 : found->second;
}

bool TaskMemoryProbe::FailNext(int count) {
    std::lock_guard<std::mutex> lock(State().mutex);
    State().failures = count;
    return true;
}

long TaskMemoryProbe::LiveBlocks() const {
    std::lock_guard<std::mutex> lock(State().mutex);
    return static_cast<long>(State().blocks.size());
}
#endif
