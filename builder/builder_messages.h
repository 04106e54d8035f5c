// Caption and texts of the builder's own message boxes.
#pragma once

inline constexpr char kBuilderCaption[] = "DRUV Template Builder";
inline constexpr char kRemoveConfigurationQuestion[] = "Are you sure you want to remove the configuration?";
inline constexpr char kRemoveTemplateQuestion[] = "Are you sure you want to remove the template?";
// Followed by the path that was refused.
inline constexpr char kPathTooLongMessage[] =
    "The path is too long. A device definition's path may have at most 255 characters:\n";
