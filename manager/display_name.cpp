#include "manager/display_name.h"

#include "device/text_fields.h"

std::string FormDisplayName(const std::string& company, const std::string& product) {
    const std::string whole = company + " " + product;
    return CapText(whole.c_str());
}

bool SameDisplayName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && EqualsIgnoringCase(a.c_str(), b.c_str());
}
