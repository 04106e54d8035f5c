#include "device/druv_configuration.h"

#include "device/text_fields.h"

DRUVConfiguration::DRUVConfiguration(const char* name) : name_(CapText(name)) {}

void DRUVConfiguration::SetName(const char* name) { name_ = CapText(name); }

void DRUVConfiguration::AddRef(const char* template_name) { refs_.push_back(CapText(template_name)); }

bool DRUVConfiguration::ContainsTemplate(const char* template_name) const {
    for (const std::string& ref : refs_)
        if (EqualsIgnoringCase(ref.c_str(), template_name)) return true;
    return false;
}

std::string HostListName(const std::string& name) {
    std::string shown = name;
    for (char& c : shown)
        if (c == ';') c = ',';
    return shown;
}
