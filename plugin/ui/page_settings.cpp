// The settings half of the page: ports, device ID, channel and delay, and
// the detection that a change of them starts.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "device/text_fields.h"
#include "plugin/host/midi_filter.h"
#include "plugin/ui/prop_page.h"
#include "plugin/ui/resource_ids.h"
#include "plugin/ui/settings_rules.h"

namespace {

constexpr char kNoPortText[] = "[none]";
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
        char className[16] = {};
        char text[8] = {};
        GetClassNameA(child, className, sizeof className);
        GetWindowTextA(child, text, sizeof text);
        if (lstrcmpiA(className, "Static") == 0 && lstrcmpA(text, "ID") == 0) return child;
    }
    return nullptr;
}

void SetSpin(HWND window, int id, const SpinField& field) {
    HWND spin = GetDlgItem(window, id);
    SendMessageA(spin, UDM_SETRANGE32, static_cast<WPARAM>(field.low), static_cast<LPARAM>(field.high));
    SendMessageA(spin, UDM_SETPOS32, 0, static_cast<LPARAM>(field.position));
}

std::string ControlText(HWND window, int id) {
    char text[kMaxTextLength + 1] = {};
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

// The host's UTF-16 port name in the page's 8-bit text, at most 255 bytes.
std::string PortName(const WCHAR* name) {
    if (!name) return std::string();
    char text[kMaxTextLength + 1] = {};
    if (!WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text, nullptr, nullptr)) {
        // Too long for the buffer: the conversion fails whole, so cut it here.
        const int needed = WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
        if (needed <= 0) return PortNameAsText(name);
        std::string whole(static_cast<size_t>(needed), '\0');
        WideCharToMultiByte(CP_ACP, 0, name, -1, &whole[0], needed, nullptr, nullptr);
        whole.resize(whole.find('\0'));
        return whole.substr(0, kMaxTextLength);
    }
    return text;
}

}  // namespace

void CPropPage::SetUpSettings() {
    const DRUVDevice& device = filter_->Device();
    DRUVData& data = filter_->Data();
    setting_up_ = true;

    const SpinField channel = ChannelField(device, data.Channel.load(std::memory_order_acquire));
    if (channel.shown) {
        SetSpin(window_, IDC_CHANNEL_SPIN, channel);
    } else {
        SetDlgItemTextA(window_, IDC_CHANNEL, "");
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
    OnEditChange(IDC_CHANNEL);
    if (deviceId.shown) OnEditChange(IDC_DEVICE_ID);
    OnEditChange(IDC_DELAY);
}

void CPropPage::FillPortList(int controlId, const MPPortList& ports, uint32_t handle) {
    HWND list = GetDlgItem(window_, controlId);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    const uint32_t count = ports.Entries ? ports.Count : 0;
    for (uint32_t i = 0; i < count; ++i)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(PortName(ports.Entries[i].Name).c_str()));
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kNoPortText));
    SendMessageA(list, CB_SETCURSEL, PortListPosition(ports, handle), 0);
}

void CPropPage::FillDataList() {
    HWND list = GetDlgItem(window_, IDC_DATA_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    const DRUVDevice& device = filter_->Device();
    const DRUVData& data = filter_->Data();
    for (size_t i = 0; i < device.TemplateCount(); ++i) {
        const DumpItem* item = i < data.Items.size() ? data.Items[i].get() : nullptr;
        const std::string line = DataListLine(*device.Template(i), item);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
}

void CPropPage::OnEditChange(int controlId) {
    const DRUVDevice& device = filter_->Device();
    DRUVData& data = filter_->Data();
    const std::string text = ControlText(window_, controlId);
    switch (controlId) {
    case IDC_DEVICE_ID:
        data.DeviceId.store(DeviceIdFromText(device, text.c_str()), std::memory_order_release);
        filter_->SetDirty();
        StartDetection();
        break;
    case IDC_CHANNEL:
        data.Channel.store(ChannelFromText(text.c_str()), std::memory_order_release);
        filter_->SetDirty();
        StartDetection();
        break;
    case IDC_DELAY:
        data.ItemDelay.store(DelayFromText(text.c_str()), std::memory_order_release);
        filter_->SetDirty();
        break;
    default:
        break;
    }
}

void CPropPage::OnSpin(HWND spin, int position) {
    if (!filter_) return;
    const DRUVDevice& device = filter_->Device();
    DRUVData& data = filter_->Data();
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
    filter_->SetDirty();
}

void CPropPage::OnPortChange(int controlId) {
    const LRESULT selected = SendDlgItemMessageA(window_, controlId, CB_GETCURSEL, 0, 0);
    const size_t position = selected == CB_ERR ? 0 : static_cast<size_t>(selected);
    const MPPortDirection direction = controlId == IDC_IN_PORT ? MP_PORT_INPUT : MP_PORT_OUTPUT;
    if (ChangePort(filter_->Data(), direction, position, filter_->PortBroker(), filter_->ClassId(),
                   static_cast<IMPInitialise*>(filter_)))
        filter_->SetDirty();
    StartDetection();
}

void CPropPage::StartDetection() {
    if (detection_.Start(filter_->Device(), filter_->Data(), filter_->TransferRunning())) RedrawStatus();
}

void CPropPage::DetectionStep() {
    if (!filter_) return;
    if (detection_.Step(filter_->Device(), filter_->Data(), filter_->TransferRunning())) RedrawStatus();
}

void CPropPage::RedrawStatus() {
    if (!window_) return;
    int width = 0;
    int height = 0;
    ClientSize(width, height);
    RECT picture{width - 72, 4, width - 72 + kStatusPictureWidth, 4 + kStatusPictureHeight};
    InvalidateRect(window_, &picture, TRUE);
}
