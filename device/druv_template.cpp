#include "device/druv_template.h"

#include "device/text_fields.h"

DRUVTemplate::DRUVTemplate(const char* name) : name_(CapText(name)) {}

void DRUVTemplate::SetName(const char* name) { name_ = CapText(name); }
