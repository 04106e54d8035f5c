// DRUV Template Builder: writes and edits device definitions.
#include <windows.h>

#include "builder/window/builder_app.h"

int WINAPI wWinMain(HINSTANCE module, HINSTANCE, PWSTR, int show) {
    CDRUVTemplateBuilderApp app;
    return app.Run(module, show);
}
