// Caption and texts of the builder's own message boxes.
#pragma once

#include "contract/program_files.h"

inline constexpr char kRemoveConfigurationQuestion[] = "Are you sure you want to remove the configuration?";
inline constexpr char kRemoveTemplateQuestion[] = "Are you sure you want to remove the template?";
// Followed by the path that was refused.
inline constexpr char kPathTooLongMessage[] =
    "The path is too long. A device definition's path may have at most 255 characters:\n";
inline constexpr char kConfigurationNameSeparatorMessage[] =
    "A configuration's name cannot hold \";\": Corvane receives the names of all configurations as one text "
    "separated by \";\".";
// Followed by one line per refused name: the field's label, the name and why.
inline constexpr char kCompanionNamesRefusedMessage[] =
    "The definition was not saved, because DRUV would not use these file names:";

// Asked before unsaved changes would be lost: the text, then the document's
// name, then the question mark.
inline constexpr char kSaveChangesQuestion[] = "Save changes to ";
// The name of a definition that has no file yet.
inline constexpr char kUntitledName[] = "Untitled";

// The "Advanced" dialog's caption, followed by the template's name.
inline constexpr char kAdvancedCaption[] = "Advanced: ";
// Refusals of the "Advanced" dialog. Each "%s" is filled in, in order: the
// box's label, its group, and then what the box holds or its limit.
inline constexpr char kNotAWholeNumberMessage[] =
    "\"%s\" in \"%s\" takes a whole number from -2147483648 to 2147483647, such as 12; \"%s\" is not one.";
inline constexpr char kNegativeNumberMessage[] = "\"%s\" in \"%s\" cannot be below 0.";
inline constexpr char kAddressBytesMessage[] =
    "\"%s\" in \"%s\" must be 0 (no address) or 1 to %s: an address has at most that many 7-bit bytes.";
inline constexpr char kFromEndMessage[] =
    "\"%s\" in \"%s\" must be 0 (counted from the start) or 2 and more: 2 is the byte before F7, 1 would be "
    "the F7 itself.";
inline constexpr char kPatternMessage[] =
    "\"%s\" in \"%s\" takes bytes in hexadecimal, two digits each, separated by spaces; \"%s\" is not one.";
inline constexpr char kAckTimeOutMessage[] =
    "\"%s\" in \"%s\" must be above 0 when an acknowledgement is given: without a time-out it is never waited "
    "for.";
