// The settings half of the page: ports, device ID, channel and delay, and
// the detection that a change of them starts.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "device/text_fields.h"
#include "device/druv_device.h"
#include "plugin/engine/druv_data.h"
#include "plugin/ui/prop_page.h"
#include "plugin/ui/resource_ids.h"
#include "plugin/ui/settings_rules.h"
#include "platform/wide_text.h"

namespace {

constexpr wchar_t kNoPortText[] = L"[none]";
constexpr int kStatusPictureWidth = 64;
constexpr int kStatusPictureHeight = 16;

void ShowControl(HWND window, int id, bool shown) {
    HWND control = GetDlgItem(window, id);
    EnableWindow(control, shown);
    ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

// The "ID" label has no id of its own; it is the static control with that text.
HWND FindIdLabel(HWND window) {
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        wchar_t text[8] = {};
        GetClassNameW(child, className, 16);
        GetWindowTextW(child, text, 8);
        if (lstrcmpiW(className, L"Static") == 0 && lstrcmpW(text, L"ID") == 0) return child;
    }
    return nullptr;
}

void SetSpin(HWND window, int id, const SpinField& field) {
    HWND spin = GetDlgItem(window, id);
    SendMessageW(spin, UDM_SETRANGE32, static_cast<WPARAM>(field.low), static_cast<LPARAM>(field.high));
    SendMessageW(spin, UDM_SETPOS32, 0, static_cast<LPARAM>(field.position));
}

std::string ControlText(HWND window, int id) {
    wchar_t text[kMaxTextLength + 1] = {};
    GetDlgItemTextW(window, id, text, kMaxTextLength + 1);
    return Utf8Text(text);
}

}  // namespace

void CPropPage::SetUpSettings(IDRUVEditorFilter& filter) {
    const DRUVDevice& device = filter.EditedDevice();
    DRUVData& data = filter.EditedData();
    setting_up_ = true;

    const SpinField channel = ChannelField(device, data.Channel.load(std::memory_order_acquire));
    if (channel.shown) {
        SetSpin(window_, IDC_CHANNEL_SPIN, channel);
    } else {
        SetDlgItemTextW(window_, IDC_CHANNEL, L"");
        ShowControl(window_, IDC_CHANNEL, false);
        ShowWindow(GetDlgItem(window_, IDC_CHANNEL_SPIN), SW_HIDE);
        ShowWindow(GetDlgItem(window_, IDC_CHANNEL_LABEL), SW_HIDE);
    }

    const SpinField deviceId = DeviceIdField(device, data.DeviceId.load(std::memory_order_acquire));
    if (deviceId.shown) {
        SetSpin(window_, IDC_DEVICE_ID_SPIN, deviceId);
    } else {
        ShowControl(window_, IDC_DEVICE_ID, false);
        ShowControl(window_, IDC_DEVICE_ID_SPIN, false);
        HWND label = FindIdLabel(window_);
        EnableWindow(label, FALSE);
        ShowWindow(label, SW_HIDE);
    }

    SetSpin(window_, IDC_DELAY_SPIN, DelayField(data.ItemDelay.load(std::memory_order_acquire)));
    setting_up_ = false;

    // The rules run in this order whatever the toolkit reports of the texts
    // set above: channel, then the ID when it is shown, then the delay.
    OnEditChange(filter, IDC_CHANNEL);
    if (deviceId.shown) OnEditChange(filter, IDC_DEVICE_ID);
    OnEditChange(filter, IDC_DELAY);
}

void CPropPage::FillPortLists(IDRUVEditorFilter& filter) {
    FillPortList(IDC_IN_PORT, filter.PortList(MP_PORT_INPUT));
    FillPortList(IDC_OUT_PORT, filter.PortList(MP_PORT_OUTPUT));
}

void CPropPage::FillPortList(int controlId, const PortChoices& choices) {
    HWND list = GetDlgItem(window_, controlId);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : choices.names)
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(name).c_str()));
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kNoPortText));
    SendMessageW(list, CB_SETCURSEL, choices.selected, 0);
}

void CPropPage::FillDataList(IDRUVEditorFilter& filter) {
    HWND list = GetDlgItem(window_, IDC_DATA_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    const DRUVDevice& device = filter.EditedDevice();
    const DRUVData& data = filter.EditedData();
    for (size_t i = 0; i < device.TemplateCount(); ++i) {
        const DumpItem* item = i < data.Items.size() ? data.Items[i].get() : nullptr;
        const std::wstring line = WideText(DataListLine(*device.Template(i), item));
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
}

void CPropPage::OnEditChange(IDRUVEditorFilter& filter, int controlId) {
    const DRUVDevice& device = filter.EditedDevice();
    DRUVData& data = filter.EditedData();
    const std::string text = ControlText(window_, controlId);
    switch (controlId) {
    case IDC_DEVICE_ID:
        data.DeviceId.store(DeviceIdFromText(device, text.c_str()), std::memory_order_release);
        filter.MarkDirty();
        StartDetection(filter);
        break;
    case IDC_CHANNEL:
        data.Channel.store(ChannelFromText(text.c_str()), std::memory_order_release);
        filter.MarkDirty();
        StartDetection(filter);
        break;
    case IDC_DELAY:
        data.ItemDelay.store(DelayFromText(text.c_str()), std::memory_order_release);
        filter.MarkDirty();
        break;
    default:
        break;
    }
}

void CPropPage::OnSpin(IDRUVEditorFilter& filter, HWND spin, int position) {
    const DRUVDevice& device = filter.EditedDevice();
    DRUVData& data = filter.EditedData();
    switch (GetDlgCtrlID(spin)) {
    case IDC_DEVICE_ID_SPIN:
        data.DeviceId.store(static_cast<uint8_t>(position - device.SysXDisplayOfs()), std::memory_order_release);
        break;
    case IDC_CHANNEL_SPIN:
        data.Channel.store(static_cast<uint8_t>(position - 1), std::memory_order_release);
        break;
    case IDC_DELAY_SPIN:
        data.ItemDelay.store(position, std::memory_order_release);
        break;
    default:
        return;
    }
    filter.MarkDirty();
}

void CPropPage::OnPortChange(IDRUVEditorFilter& filter, int controlId) {
    const LRESULT selected = SendDlgItemMessageW(window_, controlId, CB_GETCURSEL, 0, 0);
    const size_t position = selected == CB_ERR ? 0 : static_cast<size_t>(selected);
    const MPPortDirection direction = controlId == IDC_IN_PORT ? MP_PORT_INPUT : MP_PORT_OUTPUT;
    if (filter.ChoosePort(direction, position)) filter.MarkDirty();
    StartDetection(filter);
}

void CPropPage::StartDetection(IDRUVEditorFilter& filter) {
    if (detection_.Start(filter.EditedContext())) RedrawStatus();
}

void CPropPage::DetectionStep(IDRUVEditorFilter& filter) {
    if (detection_.Step(filter.EditedContext())) RedrawStatus();
}

void CPropPage::RedrawStatus() {
    if (!window_) return;
    int width = 0;
    int height = 0;
    ClientSize(width, height);
    RECT picture{width - 72, 4, width - 72 + kStatusPictureWidth, 4 + kStatusPictureHeight};
    InvalidateRect(window_, &picture, TRUE);
}
