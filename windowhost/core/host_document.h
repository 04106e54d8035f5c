// The project the window shows: druvhost's project file, where it lives on
// disk (none until it is first saved), and whether it holds changes that are
// not saved yet. The title and the question before the project is let go of
// are decided here.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "contract/program_files.h"
#include "druvhost/project/project_file.h"

namespace windowhost {

constexpr const char* kProgramName = kWindowHostCaption;
constexpr char kUntitledName[] = "Untitled";

class HostDocument {
public:
    // A new, empty project without a file.
    void New();
    // Reads the project at `path`; false with `error` (and the document as
    // it was) when it is missing or refused.
    bool Open(const std::string& path, std::string& error);
    // Writes to the document's file; false with `error` when there is none
    // or the write failed (the document then stays unsaved).
    bool Save(std::string& error);
    // Writes to `path`, which becomes the document's file once written.
    bool SaveAs(const std::string& path, std::string& error);

    // Stores a device's saved bytes; an unsaved change only when they differ.
    void Put(const druvhost::ClassId& classId, const std::vector<uint8_t>& filterData);
    // Stores a receive's bytes with its date: always a change.
    void PutReceived(const druvhost::ClassId& classId, const std::vector<uint8_t>& filterData,
                     int64_t secondsSince1970);

    const druvhost::Project& Project() const { return project_; }
    const std::string& Path() const { return path_; }
    bool HasPath() const { return !path_.empty(); }
    bool HasUnsavedChanges() const { return unsaved_; }
    // The file's name without its folder and extension, or "Untitled".
    std::string Name() const;
    // "NAME - DRUV Host", with "*" after the name while changes are unsaved.
    std::string Title() const;

private:
    druvhost::Project project_;
    std::string path_;
    bool unsaved_ = false;
};

// The question asked before New, Open, Exit or closing the window lets go of
// a project with unsaved changes.
std::string UnsavedChangesQuestion(const HostDocument& document);

enum class UnsavedAnswer { Save, DontSave, Cancel };

// Whether the project may be let go of. Without unsaved changes nobody is
// asked. Save: `save` must succeed (it may ask for a file name and fail or
// be cancelled); Don't Save: yes; Cancel: no.
bool MayLetGo(const HostDocument& document, const std::function<UnsavedAnswer(const std::string&)>& ask,
              const std::function<bool()>& save);

}  // namespace windowhost
