// The editor side of the render tool: a picture of the editor drawn without a display,
// and the editor in a window of its own.
#pragma once

#include <ostream>

#include "host/RenderOptions.h"

// Throws HostError NoEditorSnapshot when the plug-in has no headless path.
void snapshotEditor(const RenderOptions& options, std::ostream& out);
// Returns when the window is closed. Throws HostError NoEditorWindow.
void editInWindow(const RenderOptions& options, std::ostream& out);
