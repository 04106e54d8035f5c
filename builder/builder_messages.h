// Caption and texts of the builder's own message boxes.
#pragma once

inline constexpr char kBuilderCaption[] = "DRUV Template Builder";
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
