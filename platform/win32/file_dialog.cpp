#include "platform/file_dialog.h"

#include <windows.h>

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>

#include "platform/utf16_text.h"
#include "platform/wide_text.h"

namespace {

DWORD SystemFlags(const FileDialogRequest& request) {
    // Without OFN_EXPLORER a multiple selection would come back separated by
    // blanks, which names may hold themselves.
    DWORD flags = OFN_EXPLORER;
    if (request.multipleSelection && request.kind == FileDialogKind::Open) flags |= OFN_ALLOWMULTISELECT;
    if (request.flags & kFileDialogPathMustExist) flags |= OFN_PATHMUSTEXIST;
    if (request.flags & kFileDialogFileMustExist) flags |= OFN_FILEMUSTEXIST;
    if (request.flags & kFileDialogHideReadOnly) flags |= OFN_HIDEREADONLY;
    if (request.flags & kFileDialogOverwritePrompt) flags |= OFN_OVERWRITEPROMPT;
    return flags;
}

}  // namespace

FileDialogResult SystemFileDialog(const FileDialogRequest& request) {
    FileDialogResult result;
    result.outcome = FileDialogOutcome::Failed;
    // The name and its terminator need two units at least.
    if (request.bufferCharacters < 2 || request.bufferCharacters > MAXDWORD - 1) return result;

    // One unit more than the dialog is told of, so that what it leaves always
    // ends in a zero unit.
    std::wstring buffer(request.bufferCharacters + 1, L'\0');
    const std::u16string initialName = Utf8ToUtf16(request.initialName, request.bufferCharacters - 1);
    std::copy(initialName.begin(), initialName.end(), buffer.begin());

    const std::u16string filter16 = SystemFilterText(request.filter);
    const std::wstring filter(filter16.begin(), filter16.end());
    const std::wstring defaultExtension = WideText(request.defaultExtension);
    const std::wstring initialFolder = WideText(request.initialFolder);
    const std::wstring title = WideText(request.title);

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = static_cast<HWND>(request.owner);
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = &buffer[0];
    dialog.nMaxFile = static_cast<DWORD>(request.bufferCharacters);
    dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    dialog.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    dialog.Flags = SystemFlags(request);

    const BOOL chosen =
        request.kind == FileDialogKind::Save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen) {
        const DWORD error = CommDlgExtendedError();
        if (error == FNERR_BUFFERTOOSMALL)
            result.outcome = FileDialogOutcome::BufferTooSmall;
        else if (error == 0)
            result.outcome = FileDialogOutcome::Cancelled;
        return result;
    }

    const std::u16string units(buffer.begin(), buffer.end());
    if (request.multipleSelection && request.kind == FileDialogKind::Open) {
        result.paths = SplitMultipleSelection(units);
    } else {
        const size_t length = units.find(u'\0');
        if (length != 0) result.paths.push_back(Utf16ToUtf8(units.substr(0, length)));
    }
    // "Chosen" promises a path; a dialog that gave none did not work.
    if (!result.paths.empty()) result.outcome = FileDialogOutcome::Chosen;
    return result;
}
