// The boxes of the "Advanced" dialog and the template extensions they edit.
// Each box names its extension by the element the definition file gives it
// and finds the value through ExtensionFields(), the table the reader and the
// writer use, so no box can edit another value than the file holds. Unlike
// the main window's boxes, these judge what is typed: a number that is not
// one, a count below 0, an address of more than four bytes, a pattern that is
// not hexadecimal text are refused with a message that names the box.
#pragma once

#include <cstddef>
#include <string>

#include "builder/builder_controls.h"
#include "builder/builder_view.h"
#include "device/template_extensions.h"

enum class AdvancedBox {
    Number,    // decimal text
    Check,     // ticked is 1, clear is 0
    DropDown,  // the selected entry is the value; none chosen keeps it
    Bytes,     // hexadecimal byte text
};

// What a number box accepts beyond a whole number.
enum class NumberRule {
    Any,           // values, steps and constants
    NotNegative,   // positions, lengths, counts and milliseconds
    AddressBytes,  // 0 (no address) to kMaxAddressBytes
    FromEnd,       // 0 (counted from the start) or 2 and more: 1 is the F7 itself
    AckTimeOut,    // not negative, and above 0 once a pattern is given
};

struct AdvancedField {
    const char* element;  // the extension's element in the file
    ControlId control;
    AdvancedBox box;
    const char* group;  // the dialog's group box, which tells boxes of one label apart
    const char* label;
    NumberRule rule;
    const char* const* entries;  // a drop-down's entries, by value
    int entryCount;
};

// In the dialog's order.
const AdvancedField* AdvancedFields(size_t& count);
// The extension a box edits, or null when the file has no such element.
const ExtensionField* ExtensionOf(const AdvancedField& box);

// Every one-line box of the dialog limited to what the main window's boxes take.
void LimitAdvancedBoxes(BuilderView& view);
void ShowAdvancedFields(const TemplateExtensions& extensions, BuilderView& view);

// The first box whose text is refused, and why; control 0 when none is.
struct AdvancedRefusal {
    ControlId control = 0;
    std::string message;
};
// Reads every box into `extensions`; on a refusal they are left as they were.
AdvancedRefusal ReadAdvancedFields(const BuilderView& view, TemplateExtensions& extensions);

// Every extension as the dialog would show it, in one text, so that two texts
// are equal exactly when the dialog would show them alike.
std::string ExtensionsText(const TemplateExtensions& extensions);
