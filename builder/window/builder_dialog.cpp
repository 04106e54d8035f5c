#include "builder/window/builder_dialog.h"

#include "builder/builder_controls.h"
#include "builder/drop_down_entries.h"
#include "builder/field_bindings.h"
#include "builder/resources/builder_resource_ids.h"
#include "builder/window/byte_box_keys.h"
#include "builder/window/drop_down_fill.h"
#include "builder/window/list_redraw_pause.h"
#include "platform/program_frame/about_box.h"
#include "platform/program_frame/dialog_object.h"
#include "platform/wide_text.h"

namespace {

// Client pixels: the line under the toolbar runs across the whole window.
constexpr int kRuleEnd = 800;

bool IsEdit(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    return lstrcmpiW(name, L"Edit") == 0;
}

bool IsList(int control) {
    return control == builder_controls::kConfigurations || control == builder_controls::kTemplates;
}

// The resources and the core name the commands alike.
static_assert(ID_FILE_NEW_DEFINITION == builder_commands::kNew, "the keys' commands are the core's");
static_assert(ID_FILE_OPEN_DEFINITION == builder_commands::kOpen, "the keys' commands are the core's");
static_assert(ID_FILE_SAVE_DEFINITION == builder_commands::kSave, "the keys' commands are the core's");
static_assert(ID_FILE_SAVE_DEFINITION_AS == builder_commands::kSaveAs, "the keys' commands are the core's");
static_assert(IDC_ADVANCED == builder_controls::kAdvanced, "the button's command is the core's");

// What an accelerator's WM_COMMAND carries in the notification code.
constexpr int kFromAccelerator = 1;

}  // namespace

CDRUVTemplateBuilderDlg::CDRUVTemplateBuilderDlg() = default;

CDRUVTemplateBuilderDlg::~CDRUVTemplateBuilderDlg() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    if (keys_) DestroyAcceleratorTable(keys_);
}

bool CDRUVTemplateBuilderDlg::Create(HINSTANCE module) {
    module_ = module;
    window_ = CreateDialogParamW(module, MAKEINTRESOURCEW(IDD_DRUV_TEMPLATE_BUILDER), nullptr,
                                 &CDRUVTemplateBuilderDlg::Proc, reinterpret_cast<LPARAM>(this));
    return window_ != nullptr;
}

void CDRUVTemplateBuilderDlg::Show(int how) {
    ShowWindow(window_, how);
    UpdateWindow(window_);
}

INT_PTR CALLBACK CDRUVTemplateBuilderDlg::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ForwardToDialogObject(window, message, wParam, lParam, &CDRUVTemplateBuilderDlg::window_, &CDRUVTemplateBuilderDlg::Handle);
}

// Every edit gets its limit and every byte box its Escape rule here, by what
// the control is, so a box added to the resources cannot be missed.
void CDRUVTemplateBuilderDlg::PrepareControls() {
    for (HWND control = GetWindow(window_, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        if (!IsEdit(control)) continue;
        if (GetWindowLongW(control, GWL_STYLE) & ES_MULTILINE) {
            SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
            KeepEscapeInByteBox(control);
        } else {
            SendMessageW(control, EM_SETLIMITTEXT, static_cast<WPARAM>(kBoxTextLimit), 0);
        }
    }
}

// The entries are fixed and unsorted: the selected index is the stored value.
void CDRUVTemplateBuilderDlg::FillDropDowns() {
    FillDropDown(GetDlgItem(window_, builder_controls::kDeviceType), kDeviceTypeEntries);
    FillDropDown(GetDlgItem(window_, builder_controls::kLoopValFormat), kLoopStoreEntries);
    FillDropDown(GetDlgItem(window_, builder_controls::kCSumType), kChecksumTypeEntries);
    FitDroppedList(GetDlgItem(window_, builder_controls::kCSumType));
}

void CDRUVTemplateBuilderDlg::Initialise() {
    view_.Attach(window_);
    frame_.SetUp(window_, module_,
                 {IDS_ABOUT_BUILDER,
                  IDR_BUILDER_ICON,
                  {{builder_commands::kOpen, IDI_OPEN, "Open"},
                   {builder_commands::kSave, IDI_SAVE, "Save"},
                   {builder_commands::kSaveAs, IDI_SAVE_AS, "Save As"}},
                  kRuleEnd});
    PrepareControls();
    FillDropDowns();
    advanced_.SetUp(module_, window_);
    builder_.SetAdvancedDialog(&advanced_);
    builder_.SetOwner(window_);
    builder_.Start();
    // The file commands' keys come first. Tab and the arrows move through the
    // controls as in any dialog; the Cancel and OK that the dialog keys make
    // of Escape and Enter are ignored in OnCommand, so that only the close
    // button closes the window.
    keys_ = LoadAcceleratorsW(module_, MAKEINTRESOURCEW(IDR_BUILDER_KEYS));
    loop_ = FrameMessageLoop(window_, keys_, FrameKeyboard::DialogNavigation);
}

INT_PTR CDRUVTemplateBuilderDlg::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto answer = frame_.Answer(message, wParam, [this] { ShowAbout(); })) return *answer;
    switch (message) {
    case WM_INITDIALOG:
        Initialise();
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_CLOSE:
        // The close button, the system menu and Alt+F4: unsaved changes are
        // asked about first, and Cancel or a failed save keeps the window.
        if (builder_.MayClose()) DestroyWindow(window_);
        return TRUE;
    default:
        return FALSE;
    }
}

// IDOK and IDCANCEL, which the dialog keys make of Enter and Escape, are no
// command of the core's: the window has no such buttons, and stays open.
void CDRUVTemplateBuilderDlg::OnCommand(int control, int notification, HWND sender) {
    // An accelerator's code is LBN_SELCHANGE's and CBN_SELCHANGE's too; only
    // a control sends those.
    if (!sender && notification == kFromAccelerator) {
        WithListsPaused([&] { builder_.Command(control); });
        return;
    }
    switch (notification) {
    case BN_CLICKED:  // buttons, the toolbar's commands, and check boxes
        // The lists stay drawn behind the "Advanced" dialog, which changes none of them.
        if (control == builder_controls::kAdvanced) {
            builder_.Command(control);
            break;
        }
        WithListsPaused([&] {
            if (!builder_.Command(control)) builder_.Edited(control);
        });
        break;
    case LBN_SELCHANGE:  // the same code as CBN_SELCHANGE
        if (IsList(control))
            WithListsPaused([&] { builder_.SelectionChanged(control); });
        else
            builder_.Edited(control);  // a drop-down, or a click in Configuration Templates
        break;
    case EN_CHANGE:
        builder_.TextChanged(control);
        break;
    default:
        break;
    }
}

// A message box or file dialog of the core's paints over paused lists
// without harm: they are drawn again as soon as the command is done. Only the
// outermost command pauses and resumes, so that a command the core's own
// changes might bring back here cannot resume the lists in the middle of a fill.
template <typename Work>
void CDRUVTemplateBuilderDlg::WithListsPaused(Work work) {
    if (listsPaused_) {
        work();
        return;
    }
    const ListRedrawPause pause(window_, {builder_controls::kConfigurations, builder_controls::kTemplates,
                                          builder_controls::kConfigurationTemplates});
    listsPaused_ = true;
    work();
    listsPaused_ = false;
}

void CDRUVTemplateBuilderDlg::ShowAbout() {
    ShowAboutBox(window_, module_,
                 {"About DRUV Template Builder", IDR_BUILDER_ICON, "DRUV Template Builder Version 1.0.3",
                  IDB_ABOUT_FIRST, IDB_ABOUT_SECOND});
}
