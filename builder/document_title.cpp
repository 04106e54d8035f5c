#include "builder/document_title.h"

#include "builder/builder_messages.h"

std::string DocumentName(const std::string& path) {
    if (path.empty()) return kUntitledName;
    // A drive's colon ends a folder too ("C:mixer.druv").
    const size_t folderEnd = path.find_last_of("\\/:");
    return folderEnd == std::string::npos ? path : path.substr(folderEnd + 1);
}

std::string WindowTitle(const std::string& path, bool unsaved) {
    if (path.empty() && !unsaved) return kBuilderCaption;
    return DocumentName(path) + (unsaved ? "*" : "") + " - " + kBuilderCaption;
}
