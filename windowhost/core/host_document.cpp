#include "windowhost/core/host_document.h"

#include "druvhost/project/project_store.h"

namespace windowhost {

void HostDocument::New() {
    project_ = druvhost::Project();
    path_.clear();
    unsaved_ = false;
}

bool HostDocument::Open(const std::string& path, std::string& error) {
    druvhost::Project read;
    switch (druvhost::LoadProjectFile(path, read, error)) {
        case druvhost::ProjectLoad::Missing: error = "there is no project file " + path; return false;
        case druvhost::ProjectLoad::Refused: return false;
        case druvhost::ProjectLoad::Loaded: break;
    }
    project_ = std::move(read);
    path_ = path;
    unsaved_ = false;
    return true;
}

bool HostDocument::Save(std::string& error) {
    if (path_.empty()) {
        error = "the project has no file yet";
        return false;
    }
    return SaveAs(path_, error);
}

bool HostDocument::SaveAs(const std::string& path, std::string& error) {
    if (!druvhost::SaveProjectFile(path, project_, error)) return false;
    path_ = path;
    unsaved_ = false;
    return true;
}

void HostDocument::Put(const druvhost::ClassId& classId, const std::vector<uint8_t>& filterData) {
    const druvhost::ProjectEntry* entry = project_.Find(classId);
    if (entry != nullptr && entry->filterData == filterData) return;
    project_.Put(classId, filterData);
    unsaved_ = true;
}

void HostDocument::PutReceived(const druvhost::ClassId& classId, const std::vector<uint8_t>& filterData,
                               int64_t secondsSince1970) {
    project_.Put(classId, filterData);
    project_.MarkReceived(classId, secondsSince1970);
    unsaved_ = true;
}

std::string HostDocument::Name() const {
    if (path_.empty()) return kUntitledName;
    const size_t slash = path_.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

std::string HostDocument::Title() const {
    return Name() + (unsaved_ ? "*" : "") + " - " + kProgramName;
}

std::string UnsavedChangesQuestion(const HostDocument& document) {
    return "Do you want to save the changes to " + document.Name() + "?";
}

bool MayLetGo(const HostDocument& document, const std::function<UnsavedAnswer(const std::string&)>& ask,
              const std::function<bool()>& save) {
    if (!document.HasUnsavedChanges()) return true;
    switch (ask(UnsavedChangesQuestion(document))) {
        case UnsavedAnswer::Save: return save();
        case UnsavedAnswer::DontSave: return true;
        case UnsavedAnswer::Cancel: return false;
    }
    return false;
}

}  // namespace windowhost
