// The platform's file-open and file-save dialogs for the shared code, shaped
// like the message-box seam: on Windows a real modal dialog; tests install a
// handler that records each request and answers it, so nothing waits for a
// person.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/handler_seam.h"

enum class FileDialogKind { Open, Save };

// Flags, combined with |.
enum FileDialogFlags : unsigned {
    kFileDialogNoFlags = 0,
    kFileDialogPathMustExist = 1u << 0,    // the folder of a typed name must exist
    kFileDialogFileMustExist = 1u << 1,
    kFileDialogHideReadOnly = 1u << 2,
    kFileDialogOverwritePrompt = 1u << 3,
};

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    // Pairs of description and pattern separated by "|", ending in "||":
    // "DRUV Device (*.druv)|*.druv||". UTF-8.
    std::string filter;
    std::string defaultExtension;  // without the dot; empty for none
    std::string initialName;       // file name put in the name field
    std::string initialFolder;
    std::string title;             // empty: the system's caption
    bool multipleSelection = false;
    unsigned flags = kFileDialogNoFlags;
    // Room for the chosen names, in UTF-16 units with every terminator.
    size_t bufferCharacters = 65536;
    void* owner = nullptr;  // HWND of the owner window on Windows, or null
};

enum class FileDialogOutcome {
    Chosen,          // `paths` holds at least one full path
    Cancelled,       // the person closed the dialog without choosing
    BufferTooSmall,  // the names chosen did not fit into the buffer
    Failed,          // the dialog could not be shown
};

struct FileDialogResult {
    FileDialogOutcome outcome = FileDialogOutcome::Cancelled;
    std::vector<std::string> paths;  // full paths, UTF-8, in the dialog's order
};

using FileDialogHandler = std::function<FileDialogResult(const FileDialogRequest&)>;

FileDialogResult ShowFileDialog(const FileDialogRequest& request);

// Replaces the process-wide handler; an empty handler restores the system's
// dialog. Returns the handler that was installed before.
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);

// The system's own dialog, shown when no handler is installed (one in each
// backend folder).
FileDialogResult SystemFileDialog(const FileDialogRequest& request);

using ScopedFileDialogHandler = ScopedHandler<FileDialogHandler, SetFileDialogHandler>;

// Splits what a multiple-selection dialog leaves in its buffer into full
// paths. One choice is a single full path followed by two zero units. Several
// are the folder, then each name, each followed by a zero unit, and a second
// zero unit at the end; a folder that already ends in a separator (a drive
// root such as "C:\") gets none added. An empty or unterminated buffer gives
// no paths.
std::vector<std::string> SplitMultipleSelection(const std::u16string& buffer);

// The filter in the system's form: each description and pattern followed by
// a zero unit, and one more zero unit at the end. The pairs end at the first
// empty description or pattern ("||") or at a description without a pattern;
// no pair gives an empty text (no filter).
std::u16string SystemFilterText(const std::string& filter);
