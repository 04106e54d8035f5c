#include "builder/window/advanced_dialog_window.h"

#include "builder/builder_controls.h"
#include "builder/drop_down_entries.h"
#include "builder/resources/builder_resource_ids.h"
#include "builder/window/drop_down_fill.h"
#include "platform/program_frame/dialog_object.h"

namespace {

namespace ids = advanced_controls;

// The resources and the core name the boxes alike.
static_assert(IDC_REQUEST_CSUM_TYPE == ids::kRequestCSumType, "the dialog's boxes are the core's");
static_assert(IDC_REQUEST_CSUM_START == ids::kRequestCSumStart, "the dialog's boxes are the core's");
static_assert(IDC_REQUEST_CSUM_LENGTH == ids::kRequestCSumLength, "the dialog's boxes are the core's");
static_assert(IDC_REQUEST_CSUM_OFFSET == ids::kRequestCSumOfs, "the dialog's boxes are the core's");
static_assert(IDC_REQUEST_CSUM_FROM_END == ids::kRequestCSumFromEnd, "the dialog's boxes are the core's");
static_assert(IDC_REQUEST_CSUM_CONSTANT == ids::kRequestCSumConstant, "the dialog's boxes are the core's");
static_assert(IDC_CSUM_FROM_END == ids::kCSumFromEnd, "the dialog's boxes are the core's");
static_assert(IDC_CSUM_CONSTANT == ids::kCSumConstant, "the dialog's boxes are the core's");
static_assert(IDC_CSUM_VERIFY == ids::kCSumVerify, "the dialog's boxes are the core's");
static_assert(IDC_ADDRESS_OFFSET == ids::kAddressOfs, "the dialog's boxes are the core's");
static_assert(IDC_ADDRESS_BYTES == ids::kAddressBytes, "the dialog's boxes are the core's");
static_assert(IDC_ADDRESS_START == ids::kAddressStart, "the dialog's boxes are the core's");
static_assert(IDC_ADDRESS_INC_DEC == ids::kAddressIncDec, "the dialog's boxes are the core's");
static_assert(IDC_OUTER_LOOP_COUNT == ids::kOuterLoopCount, "the dialog's boxes are the core's");
static_assert(IDC_OUTER_LOOP_START == ids::kOuterLoopStart, "the dialog's boxes are the core's");
static_assert(IDC_OUTER_LOOP_INC_DEC == ids::kOuterLoopIncDec, "the dialog's boxes are the core's");
static_assert(IDC_OUTER_LOOP_OFFSET == ids::kOuterLoopOfs, "the dialog's boxes are the core's");
static_assert(IDC_OUTER_LOOP_FORMAT == ids::kOuterLoopValFormat, "the dialog's boxes are the core's");
static_assert(IDC_UNKNOWN_LENGTH == ids::kUnknownLength, "the dialog's boxes are the core's");
static_assert(IDC_END_AFTER_MESSAGES == ids::kEndAfterMessages, "the dialog's boxes are the core's");
static_assert(IDC_END_AFTER_QUIET == ids::kEndAfterQuiet, "the dialog's boxes are the core's");
static_assert(IDC_ACK_PATTERN == ids::kAckPattern, "the dialog's boxes are the core's");
static_assert(IDC_ACK_ERROR_PATTERN == ids::kAckErrorPattern, "the dialog's boxes are the core's");
static_assert(IDC_ACK_TIME_OUT == ids::kAckTimeOut, "the dialog's boxes are the core's");

}  // namespace

bool Win32AdvancedDialog::Run(AdvancedEditor& editor) {
    editor_ = &editor;
    const INT_PTR result = DialogBoxParamW(module_, MAKEINTRESOURCEW(IDD_ADVANCED), owner_,
                                           &Win32AdvancedDialog::Proc, reinterpret_cast<LPARAM>(this));
    editor_ = nullptr;
    window_ = nullptr;
    return result == IDOK;
}

INT_PTR CALLBACK Win32AdvancedDialog::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ForwardToDialogObject(window, message, wParam, lParam, &Win32AdvancedDialog::window_,
                                 &Win32AdvancedDialog::Handle);
}

void Win32AdvancedDialog::Initialise() {
    view_.Attach(window_);
    FillDropDown(GetDlgItem(window_, ids::kRequestCSumType), kChecksumTypeEntries);
    FillDropDown(GetDlgItem(window_, ids::kOuterLoopValFormat), kOuterLoopFormatEntries);
    editor_->Show(view_);
}

// A refused box takes the focus, with its text selected to be typed over.
void Win32AdvancedDialog::Accept() {
    if (editor_->Accept(view_, window_)) {
        EndDialog(window_, IDOK);
        return;
    }
    if (HWND box = GetDlgItem(window_, editor_->RefusedControl()))
        SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
}

INT_PTR Win32AdvancedDialog::Handle(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        Initialise();
        return TRUE;  // the first box takes the focus
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) Accept();
        if (LOWORD(wParam) == IDCANCEL) EndDialog(window_, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}
