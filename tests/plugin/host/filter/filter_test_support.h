// Shared helpers of the filter object tests: definition files written to a
// scratch folder, a filter owned by a test, and the sizes of the blocks the
// filter hands out through the task allocator.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "plugin/host/midi_filter.h"
#include "plugin/host/module_counts.h"
#include "tests/device/test_support.h"
#include "tests/support/test_paths.h"

// {3A5E7C10-94B2-4F6D-8E21-0C9B7A4D5E36}
constexpr GUID kTestClassId = {0x3A5E7C10, 0x94B2, 0x4F6D, {0x8E, 0x21, 0x0C, 0x9B, 0x7A, 0x4D, 0x5E, 0x36}};

// A definition with the given configurations (each naming every template)
// and templates of `size` bytes answering `F0 7D 00 nn F7`.
inline std::string DefinitionXml(const std::vector<std::string>& configurations,
                                 const std::vector<std::string>& templates, const std::string& extra = "") {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DRUVDevice><Company>Maker</Company>"
                      "<Product>Box</Product><Version>2.1</Version>" + extra;
    for (const std::string& name : configurations) {
        xml += "<Configuration>" + name;
        for (const std::string& ref : templates) xml += "<Ref>" + ref + "</Ref>";
        xml += "</Configuration>";
    }
    for (size_t i = 0; i < templates.size(); ++i) {
        xml += "<Template>" + templates[i] + "<Size>10</Size><NumLoops>1</NumLoops><Request>F0 7D 00 0" +
               std::to_string(i) + " F7</Request></Template>";
    }
    return xml + "</DRUVDevice>\n";
}

// Path of an example definition shipped with the sources.
inline std::string ExampleDefinition(const char* name) { return druvtest::ExamplesDir() + "/" + name; }

// The test's own reference to a filter; Release at the end must destroy it.
class FilterHolder {
public:
    explicit FilterHolder(const std::string& path, const GUID& classId = kTestClassId)
        : filter_(new CMidiFilter(classId, path.c_str())) {}
    ~FilterHolder() {
        if (filter_) filter_->Release();
    }
    FilterHolder(const FilterHolder&) = delete;
    FilterHolder& operator=(const FilterHolder&) = delete;

    CMidiFilter* operator->() const { return filter_; }
    CMidiFilter& operator*() const { return *filter_; }
    CMidiFilter* get() const { return filter_; }
    // The last reference: the filter must be gone afterwards.
    ULONG ReleaseLast() {
        ULONG left = filter_->Release();
        filter_ = nullptr;
        return left;
    }

private:
    CMidiFilter* filter_;
};

// While it lives, blocks from CoTaskMemAlloc can be measured. On Windows the
// system's allocator tells the size of a block and a malloc spy follows the
// blocks and can make an allocation fail; elsewhere the allocator is replaced
// by one that records the sizes and can be told to fail.
class TaskMemoryProbe {
public:
    TaskMemoryProbe();
    ~TaskMemoryProbe();
    TaskMemoryProbe(const TaskMemoryProbe&) = delete;
    TaskMemoryProbe& operator=(const TaskMemoryProbe&) = delete;

    // The requested size of a live block; 0 when unknown.
    size_t BlockSize(const void* block) const;
    // The next `count` allocations fail. False where that cannot be arranged.
    bool FailNext(int count);
    // Blocks handed out and not yet freed; -1 where unknown.
    long LiveBlocks() const;
};
