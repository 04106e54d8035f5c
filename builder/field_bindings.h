// Which box shows which field, and how its text or state becomes the field
// again. One table for the device and one for a template; showing and storing
// both walk them, so a box cannot be bound one way and read back another.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "builder/builder_controls.h"
#include "contract/text_limits.h"
#include "builder/builder_view.h"
#include "device/druv_device.h"
#include "device/druv_template.h"

enum class FieldKind {
    Text,      // the field's text as it is
    Number,    // decimal text, read back by the field's setter from text
    Bytes,     // hexadecimal byte text, no length limit
    Check,     // ticked is 1, clear is 0
    DropDown,  // the selected entry is the value
};

template <typename Record>
struct FieldBinding {
    ControlId control;
    FieldKind kind;
    // Text, Number and Bytes: the box's text and how it is stored.
    std::string (*text)(const Record&);
    void (*storeText)(Record&, const char*);
    // Check and DropDown: the field's value and how it is stored.
    int32_t (*value)(const Record&);
    void (*storeValue)(Record&, int32_t);
    // DropDown: the number of entries; a value outside them shows none.
    int entries;
};

using DeviceBinding = FieldBinding<DRUVDevice>;
using TemplateBinding = FieldBinding<DRUVTemplate>;

// In the order in which the fields are stored.
extern const DeviceBinding kDeviceBindings[];
extern const size_t kDeviceBindingCount;
extern const TemplateBinding kTemplateBindings[];
extern const size_t kTemplateBindingCount;

// The most a one-line box takes, in characters; byte boxes take any length.
constexpr size_t kBoxTextLimit = kMaxTextLength;

void ShowFields(const DRUVDevice& device, BuilderView& view);
void StoreFields(BuilderView& view, DRUVDevice& device);
void ShowFields(const DRUVTemplate& record, BuilderView& view);
void StoreFields(BuilderView& view, DRUVTemplate& record);

// Limits every one-line box of both tables to kBoxTextLimit characters.
void LimitFieldBoxes(BuilderView& view);

// The bound fields of a record in one text, each as its box would show it
// (a check as ticked or clear), so that two texts are equal exactly when the
// boxes would show the records alike.
std::string FieldsText(const DRUVDevice& device);
std::string FieldsText(const DRUVTemplate& record);
// The same for the record as storing the boxes into it would leave it; the
// record itself is not changed.
std::string PendingFieldsText(const BuilderView& view, const DRUVDevice& device);
std::string PendingFieldsText(const BuilderView& view, const DRUVTemplate& record);

// One piece of such a text, kept apart from the next whatever it holds.
void AppendFieldText(std::string& text, const std::string& field);
