// A registry editor for tests that passes every call on to another one but
// refuses chosen writes, so that a test can check what its caller does when
// the registry says no (rolls back, reports, goes on). A refused call does not
// reach the inner editor. Reads always pass.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/registry_editor.h"

class FaultyRegistryEditor : public RegistryEditor {
public:
    enum Operation : unsigned {
        kCreateKey = 1u << 0,
        kSetValue = 1u << 1,
        kDeleteKey = 1u << 2,
        kAnyWrite = kCreateKey | kSetValue | kDeleteKey,
    };

    explicit FaultyRegistryEditor(RegistryEditor& inner) : inner_(inner) {}

    // Refuses `operations` on the key `keyPath` of `root` and on every key
    // below it (compared ignoring ASCII case, by whole path parts, so
    // "Software\A" does not cover "Software\AB").
    void RefuseUnder(RegistryRoot root, const std::string& keyPath, unsigned operations = kAnyWrite) {
        rules_.push_back(Rule{root, keyPath, operations});
    }
    // Refuses the write with this number, counting every CreateKey, SetValue
    // and DeleteKey call from 1, refused ones included.
    void RefuseWriteNumber(size_t number) { refusedNumbers_.push_back(number); }
    // Refuses every write from this number on.
    void RefuseWritesFrom(size_t number) { refuseFrom_ = number; }

    size_t Writes() const { return writes_; }
    size_t Refusals() const { return refusals_; }

    bool CreateKey(RegistryRoot root, const std::string& keyPath) override {
        return !Refused(kCreateKey, root, keyPath) && inner_.CreateKey(root, keyPath);
    }
    bool SetValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                  const RegistryValue& value) override {
        return !Refused(kSetValue, root, keyPath) && inner_.SetValue(root, keyPath, valueName, value);
    }
    bool DeleteKey(RegistryRoot root, const std::string& keyPath) override {
        return !Refused(kDeleteKey, root, keyPath) && inner_.DeleteKey(root, keyPath);
    }
    RegistryRead ReadValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                           RegistryValue& value) override {
        return inner_.ReadValue(root, keyPath, valueName, value);
    }
    RegistryRead ReadText(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                          size_t maxLength, std::string& text) override {
        return inner_.ReadText(root, keyPath, valueName, maxLength, text);
    }
    bool KeyExists(RegistryRoot root, const std::string& keyPath) override { return inner_.KeyExists(root, keyPath); }
    bool SubkeyName(RegistryRoot root, const std::string& keyPath, size_t index, std::string& name) override {
        return inner_.SubkeyName(root, keyPath, index, name);
    }

private:
    struct Rule {
        RegistryRoot root;
        std::string keyPath;
        unsigned operations;
    };

    static char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

    static bool Covers(const std::string& prefix, const std::string& keyPath) {
        if (prefix.size() > keyPath.size()) return false;
        for (size_t i = 0; i < prefix.size(); ++i)
            if (Lower(prefix[i]) != Lower(keyPath[i])) return false;
        return prefix.empty() || keyPath.size() == prefix.size() || keyPath[prefix.size()] == '\\';
    }

    bool Refused(Operation operation, RegistryRoot root, const std::string& keyPath) {
        const size_t number = ++writes_;
        bool refuse = refuseFrom_ != 0 && number >= refuseFrom_;
        for (size_t refused : refusedNumbers_) refuse = refuse || refused == number;
        for (const Rule& rule : rules_) {
            const bool matches = (rule.operations & operation) != 0 && rule.root == root;
            refuse = refuse || (matches && Covers(rule.keyPath, keyPath));
        }
        if (refuse) ++refusals_;
        return refuse;
    }

    RegistryEditor& inner_;
    std::vector<Rule> rules_;
    std::vector<size_t> refusedNumbers_;
    size_t refuseFrom_ = 0;
    size_t writes_ = 0;
    size_t refusals_ = 0;
};
