#include "tests/plugin/host/filter/filter_test_support.h"

#include <cstdlib>
#include <set>

namespace {

#ifdef _WIN32
// The system's task allocator tells a malloc spy of every block it hands out
// and frees, and fails an allocation when the spy's PreAlloc answers 0. The
// spy is registered with the first probe and stays for the life of the test
// program: the system keeps a spy until every block made under it is freed,
// so revoking and registering again could fail while a block lives on.
// The system's interfaces declare no destructor; the spy is a static object,
// never destroyed through an interface pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class TaskMemorySpy : public IMallocSpy {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMallocSpy)) {
            *object = static_cast<IMallocSpy*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // A static object: references do not decide its life.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T request) override {
        std::lock_guard<std::mutex> lock(mutex);
        if (failures > 0 && request > 0) {
            --failures;
            return 0;
        }
        return request;
    }
    void* STDMETHODCALLTYPE PostAlloc(void* actual) override {
        std::lock_guard<std::mutex> lock(mutex);
        if (actual && recording) live.insert(actual);
        return actual;
    }
    void* STDMETHODCALLTYPE PreFree(void* request, BOOL) override {
        std::lock_guard<std::mutex> lock(mutex);
        live.erase(request);
        return request;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) override {
        std::lock_guard<std::mutex> lock(mutex);
        reallocatingLive = live.erase(request) > 0;
        *newRequest = request;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override {
        std::lock_guard<std::mutex> lock(mutex);
        if (actual && reallocatingLive) live.insert(actual);
        reallocatingLive = false;
        return actual;
    }
    void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T actual, BOOL) override { return actual; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

    std::mutex mutex;
    std::set<void*> live;  // blocks handed out while a probe lives
    int failures = 0;
    bool recording = false;
    bool reallocatingLive = false;
};
#pragma GCC diagnostic pop

TaskMemorySpy& Spy() {
    static TaskMemorySpy spy;
    return spy;
}

bool SpyRegistered() {
    static const bool registered = SUCCEEDED(CoRegisterMallocSpy(&Spy()));
    return registered;
}
#else
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
TaskMemoryProbe::TaskMemoryProbe() {
    if (!SpyRegistered()) return;
    std::lock_guard<std::mutex> lock(Spy().mutex);
    Spy().live.clear();
    Spy().failures = 0;
    Spy().recording = true;
}

TaskMemoryProbe::~TaskMemoryProbe() {
    std::lock_guard<std::mutex> lock(Spy().mutex);
    Spy().live.clear();
    Spy().failures = 0;
    Spy().recording = false;
}

size_t TaskMemoryProbe::BlockSize(const void* block) const {
    IMalloc* allocator = nullptr;
    if (FAILED(CoGetMalloc(1, &allocator)) || !allocator) return 0;
    SIZE_T size = allocator->GetSize(const_cast<void*>(block));
    allocator->Release();
    return size == static_cast<SIZE_T>(-1) ? 0 : size;
}

bool TaskMemoryProbe::FailNext(int count) {
    if (!SpyRegistered()) return false;
    std::lock_guard<std::mutex> lock(Spy().mutex);
    Spy().failures = count;
    return true;
}

long TaskMemoryProbe::LiveBlocks() const {
    if (!SpyRegistered()) return -1;
    std::lock_guard<std::mutex> lock(Spy().mutex);
    return static_cast<long>(Spy().live.size());
}
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
