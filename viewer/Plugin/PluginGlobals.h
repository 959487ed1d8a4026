#pragma once
// The plug-in layer's globals and its start-up and shutdown, which the viewer's
// program entry runs around its main window.

#include <memory>
#include <string>

#include "platform/StringList.h"

class TFileManager;

// While set, diagnostics are shown in message boxes, the plug-ins' log is
// written, and plug-ins are set up in mode 0. Start-up sets it for good.
extern bool DebugMessages;
// The one file manager, from start-up to shutdown.
extern std::unique_ptr<TFileManager> FileManager;
// Where the plug-in libraries are: the program's folder + "Plugins/".
extern std::string PluginsFolder;
// The supported extensions, each with its dot and lower-cased (".pdf").
extern std::unique_ptr<TStringList> SupportedExtensions;

// Creates the file manager, sets the plug-in folder (the program's unless one
// is given) and loads every plug-in through BuildExtensionList.
void StartPluginLayer(const std::string& pluginsFolder = "");
// Frees the extension list, then the file manager: documents before libraries;
// then writes out and closes the log.
void StopPluginLayer();
// Refills SupportedExtensions from the plug-in manager's filter text; throws
// Exception when there is no file manager.
void BuildExtensionList();
