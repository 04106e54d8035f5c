// Import .syx... and Export .syx...: between .syx files and the selected
// instrument's dumps in the project, for the configuration the drop-down
// shows. An import is previewed and changes the project only once the
// musician confirms a file that fits; it is not a receive, so the
// instrument's receive date stays as it was.
#include <utility>
#include <vector>

#include "device/druv_device.h"
#include "druvhost/cli/transfer_report.h"
#include "druvhost/host/saved_settings.h"
#include "druvhost/syx/saved_dumps.h"
#include "druvhost/syx/syx_file.h"
#include "druvhost/syx/syx_import.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/safe_file_write.h"
#include "windowhost/core/syx_preview.h"
#include "windowhost/window/host_window.h"
#include "windowhost/window/syx_preview_dialog.h"
#include "windowhost/window/window_support.h"

namespace windowhost {

namespace {

constexpr char kSyxFilter[] = "SysX Files (*.syx)|*.syx|All Files (*.*)|*.*||";

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string Files(size_t count) { return std::to_string(count) + (count == 1 ? " file" : " files"); }

}  // namespace

void HostWindow::ImportSyx() {
    KeepPageChoices();
    const std::string path = ChooseFileToOpen(window_, kSyxFilter, "syx", "Import .syx");
    if (path.empty()) return;
    // The filter's bytes are read and replaced: not while a probe uses it.
    WhenSessionFree([this, path] {
        if (!transfer_running_ && session_ != nullptr) ImportSyxNow(path);
    });
}

void HostWindow::ImportSyxNow(const std::string& path) {
    const druvhost::InstalledDevice device = devices_[static_cast<size_t>(selected_)];
    druvhost::SyxFile file;
    const druvhost::SyxReadResult read = druvhost::ReadSyxFile(path, file);
    if (read.error != druvhost::SyxReadError::None) {
        ShowError(window_, "The file cannot be imported; the project was not changed: " + path + ": " + read.text);
        return;
    }
    std::string configuration;
    const uint32_t mask = ChosenMask(configuration);
    const druvhost::SyxImport import = druvhost::PlanConfigurationImport(session_->Definition(), file, mask);
    if (!ShowSyxPreview(module_, window_, MakeSyxPreview(FileNameOf(path), file, import, configuration))) {
        status_text_ = "Nothing was imported; the project was not changed";
        status_.ShowText(status_text_);
        return;
    }
    // Over what the filter holds now, so that its other items and the page's
    // choices stay; then the filter loads the result and what it saves of it
    // is what the project keeps.
    std::vector<uint8_t> saved;
    std::string error;
    if (!session_->Save(saved, error) || !druvhost::ApplyImport(session_->Definition(), import, saved, error)) {
        ShowError(window_, "The file cannot be imported; the project was not changed: " + error);
        return;
    }
    const druvhost::ClassId id = ToClassId(device.classId);
    const HostDocument before = document_;
    document_.Put(id, saved);
    CloseSelected();
    OpenSelected();
    if (session_ == nullptr) {
        // The filter refused what the import made of its bytes: the project
        // goes back to what it held, and the filter with it.
        document_ = before;
        OpenSelected();
        ShowError(window_,
                  "The filter of " + device.name + " refused the imported dumps; the project was not changed");
        return;
    }
    document_.Put(id, opened_bytes_);
    ShowTitle();
    status_text_ = "Imported " + FileNameOf(path) + " into " + configuration + " of " + device.name;
    status_.ShowText(status_text_);
}

void HostWindow::ExportSyx() {
    KeepPageChoices();
    WhenSessionFree([this] {
        if (!transfer_running_ && session_ != nullptr) ExportSyxNow();
    });
}

void HostWindow::ExportSyxNow() {
    const druvhost::InstalledDevice device = devices_[static_cast<size_t>(selected_)];
    const druvhost::ProjectEntry* entry = StoredEntry(static_cast<size_t>(selected_));
    if (entry == nullptr) return;
    const std::vector<uint8_t> saved = entry->filterData;
    const DRUVDevice& definition = session_->Definition();
    std::string configuration;
    const uint32_t mask = ChosenMask(configuration);
    std::vector<std::string> items;
    for (const druvhost::ReceivedItem& item : druvhost::SelectedItems(definition, mask, saved))
        if (druvhost::ItemHoldsDump(item.data)) items.push_back(item.name);
    if (items.empty()) {
        ShowError(window_, "The project holds no dumps of " + configuration + " for " + device.name);
        return;
    }
    bool perItem = false;
    if (items.size() > 1) {
        const std::string question = "Export each item of " + configuration + " into a file of its own?\n\n"
                                     "Yes: one file per item, in the folder you choose next.\n"
                                     "No: one file for all of them.";
        switch (ShowMessageBox(question.c_str(), kProgramName, MessageIcon::Question, MessageButtons::YesNoCancel,
                               window_)) {
            case MessageAnswer::Yes: perItem = true; break;
            case MessageAnswer::No: break;
            default: return;
        }
    }
    FileDialogRequest request;
    request.kind = FileDialogKind::Save;
    request.filter = kSyxFilter;
    request.defaultExtension = "syx";
    request.title = "Export .syx";
    request.initialName = SyxFileName(device.name, perItem ? items.front() : configuration);
    request.flags = kFileDialogOverwritePrompt | kFileDialogPathMustExist | kFileDialogHideReadOnly;
    request.owner = window_;
    const FileDialogResult chosen = ShowFileDialog(request);
    if (chosen.outcome != FileDialogOutcome::Chosen || chosen.paths.empty()) return;

    // Each file is written whole or not at all; one that fails stops the rest.
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
    std::string error;
    if (perItem) {
        const std::string folder = FolderOf(chosen.paths.front());
        for (const std::string& item : items) {
            std::vector<uint8_t> syx;
            if (!druvhost::ExportItem(definition, saved, item, syx, error)) break;
            files.emplace_back(folder + "\\" + SyxFileName(device.name, item), std::move(syx));
        }
    } else {
        std::vector<uint8_t> syx;
        if (druvhost::ExportConfiguration(definition, saved, mask, syx, error))
            files.emplace_back(chosen.paths.front(), std::move(syx));
    }
    size_t written = 0;
    if (error.empty())
        for (const auto& file : files) {
            if (!WriteFileSafely(file.first, file.second.data(), file.second.size())) {
                error = "cannot write " + file.first;
                break;
            }
            ++written;
        }
    if (!error.empty()) {
        ShowError(window_, "The export failed after " + Files(written) + ": " + error);
        return;
    }
    status_text_ = "Exported " + configuration + " of " + device.name + " to " + Files(written) + " in " +
                   FolderOf(chosen.paths.front());
    status_.ShowText(status_text_);
}

}  // namespace windowhost
