#include "manager/window/dropped_files.h"

#include "platform/wide_text.h"

std::vector<std::string> TakeDroppedFiles(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        if (length == 0) continue;
        std::wstring path(length + 1, L'\0');
        const UINT copied = DragQueryFileW(drop, i, &path[0], length + 1);
        path.resize(copied);
        paths.push_back(Utf8Text(path));
    }
    DragFinish(drop);
    return paths;
}
