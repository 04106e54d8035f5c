// A configuration: a named selection of templates, referred to by name.
#pragma once

#include <string>
#include <vector>

class DRUVConfiguration {
public:
    explicit DRUVConfiguration(const char* name);

    const std::string& Name() const { return name_; }
    void SetName(const char* name);  // cut to 255 bytes

    const std::vector<std::string>& Refs() const { return refs_; }
    void AddRef(const char* template_name);  // cut to 255 bytes like the names it refers to
    void ClearRefs() { refs_.clear(); }

    // True when one of the Refs equals `template_name`, ignoring case.
    bool ContainsTemplate(const char* template_name) const;

private:
    std::string name_;
    std::vector<std::string> refs_;
};

// The name as it stands in the host's list of configurations, which is one
// ';'-separated text: each ';' shows as ',' so that the list keeps one entry
// per configuration and the host's choice names the right one.
std::string HostListName(const std::string& name);
