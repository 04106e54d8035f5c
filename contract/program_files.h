// The programs' captions and the files that ship beside them. The resource
// scripts read the captions too, and the resource compiler reads no C++: it
// sees the macros alone.
#pragma once

#define DRUV_MANAGER_CAPTION "DRUV Manager"
#define DRUV_BUILDER_CAPTION "DRUV Template Builder"
#define DRUV_WINDOW_HOST_CAPTION "DRUV Host"

#ifndef RC_INVOKED
inline constexpr char kManagerCaption[] = DRUV_MANAGER_CAPTION;
// Also the caption of every message the shared definition code shows, in all
// three deliverables.
inline constexpr char kBuilderCaption[] = DRUV_BUILDER_CAPTION;
// The window host's caption, before its project's name.
inline constexpr char kWindowHostCaption[] = DRUV_WINDOW_HOST_CAPTION;

// In the Manager's folder: the plug-in it registers, the manual its Help
// opens (the plug-in's page opens the one beside DRUV.dll, the same file),
// and the icon of ".druv" files.
inline constexpr char kPluginFileName[] = "DRUV.dll";
inline constexpr char kManualFileName[] = "Manual.pdf";
inline constexpr char kDocumentIconFileName[] = "DRUVManager.ico";
// The definitions shipped beside the Manager, where its Add dialog starts.
inline constexpr char kDevicesFolderName[] = "Devices";

// What the file dialogs of the Manager and the Builder offer.
inline constexpr char kDefinitionFileFilter[] = "DRUV Device (*.druv)|*.druv||";
#endif
