#include "plugin/ui/filter_handle.h"

// A Use counts itself and then loads the link; Withdraw clears the link and
// then loads the count. Sequentially consistent on both sides: either the Use
// finds the link cleared, or Withdraw sees the Use and waits for it.

void FilterHandle::Link(IDRUVEditorFilter* filter) {
    page_thread_.store(std::this_thread::get_id(), std::memory_order_release);
    linked_.store(filter != nullptr, std::memory_order_release);
    filter_.store(filter, std::memory_order_seq_cst);
}

void FilterHandle::Withdraw() {
    filter_.store(nullptr, std::memory_order_seq_cst);
    if (page_thread_.load(std::memory_order_acquire) != std::this_thread::get_id()) {
        // A Use is one short call into the filter; it ends within moments.
        while (uses_.load(std::memory_order_seq_cst) != 0) std::this_thread::yield();
    }
    // The last touch of the handle: the page may go once it sees this.
    linked_.store(false, std::memory_order_release);
}

void FilterHandle::AwaitWithdrawal() const {
    while (linked_.load(std::memory_order_acquire)) std::this_thread::yield();
}

FilterHandle::Use::Use(FilterHandle& handle) : handle_(handle) {
    handle_.uses_.fetch_add(1, std::memory_order_seq_cst);
    filter_ = handle_.filter_.load(std::memory_order_seq_cst);
}

FilterHandle::Use::~Use() { handle_.uses_.fetch_sub(1, std::memory_order_release); }
