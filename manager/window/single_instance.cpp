#include "manager/window/single_instance.h"

const wchar_t kManagerInstanceName[] = L"Local\\DRUV Manager {21CC8108-06F1-489C-BBA5-B0DFE9D43C7C}";

SingleInstance::SingleInstance(const std::wstring& name) {
    mutex_ = CreateMutexW(nullptr, FALSE, name.c_str());
    first_ = !(mutex_ && GetLastError() == ERROR_ALREADY_EXISTS);
}

SingleInstance::~SingleInstance() {
    if (mutex_) CloseHandle(mutex_);
}
