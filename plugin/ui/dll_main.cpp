// The plug-in module's entry: records its handle for the page's resources
// and installs the page creator that the component server's page factory
// uses. Nothing here may load or wait for other libraries: the loader lock
// is held. The page's control classes are registered with the first page.
#include <windows.h>

#include "plugin/host/class_factories.h"
#include "plugin/ui/plugin_module.h"
#include "plugin/ui/prop_page.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(module);
        SetPluginModule(module);
        SetPropPageCreator(&CreatePropPage);
    }
    return TRUE;
}
