// The name under which an instrument is listed, registered and mentioned in
// messages: company and product joined by one blank.
#pragma once

#include <string>

// "Company Product", the blank there even when a part is empty, cut to 255
// bytes between whole UTF-8 characters. Formed once per install, so the list
// item, the stored record, the registry and the duplicate check all see the
// same text.
std::string FormDisplayName(const std::string& company, const std::string& product);

// Whether two display names name the same instrument: equal under ASCII case
// folding (letters beyond ASCII must match exactly).
bool SameDisplayName(const std::string& a, const std::string& b);
