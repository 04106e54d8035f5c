#include "windowhost/core/recent_projects.h"

#include <algorithm>

namespace windowhost {

namespace {

// Windows file names: letters in either case and either slash name one file.
bool SameProject(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) {
            if (c == '/') return '\\';
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

std::string ValueName(size_t index) { return std::to_string(index + 1); }

}  // namespace

void RecentProjects::Load(RegistryEditor& registry) {
    paths_.clear();
    for (size_t i = 0; i < kRecentProjectCount; ++i) {
        RegistryValue value;
        if (registry.ReadValue(RegistryRoot::CurrentUser, kRecentProjectsKeyPath, ValueName(i), value) !=
                RegistryRead::Ok ||
            value.type != RegistryType::Text)
            continue;
        const std::string path = value.AsText();
        if (path.empty()) continue;
        const bool known = std::any_of(paths_.begin(), paths_.end(),
                                       [&](const std::string& p) { return SameProject(p, path); });
        if (!known) paths_.push_back(path);
    }
}

bool RecentProjects::Store(RegistryEditor& registry) const {
    bool stored = true;
    for (size_t i = 0; i < kRecentProjectCount; ++i) {
        const std::string path = i < paths_.size() ? paths_[i] : std::string();
        stored = registry.SetValue(RegistryRoot::CurrentUser, kRecentProjectsKeyPath, ValueName(i),
                                   RegistryValue::Text(path)) && stored;
    }
    return stored;
}

void RecentProjects::Add(const std::string& path) {
    if (path.empty()) return;
    Remove(path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > kRecentProjectCount) paths_.resize(kRecentProjectCount);
}

void RecentProjects::Remove(const std::string& path) {
    paths_.erase(std::remove_if(paths_.begin(), paths_.end(),
                                [&](const std::string& p) { return SameProject(p, path); }),
                 paths_.end());
}

std::string RecentProjectLabel(size_t index, const std::string& path) {
    std::string label = "&" + std::to_string(index + 1) + " ";
    for (char c : path) {
        label += c;
        if (c == '&') label += '&';
    }
    return label;
}

}  // namespace windowhost
