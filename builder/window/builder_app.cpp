#include "builder/window/builder_app.h"

#include "builder/window/builder_dialog.h"
#include "platform/program_frame/common_controls.h"

int CDRUVTemplateBuilderApp::Run(HINSTANCE module, int show) {
    InitialiseFrameControls();
    CDRUVTemplateBuilderDlg window;
    if (!window.Create(module)) return 1;
    window.Show(show);
    return window.Run();
}
