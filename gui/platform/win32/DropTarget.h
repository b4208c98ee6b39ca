// The editor window's OLE drop target: turns a drag over the window into CDropData for
// the listener, text or a list of files with shortcuts resolved.
#pragma once

#include <ole2.h>

#include "gui/platform/Window.h"

namespace platform::win32 {

// Starts with no reference; deletes itself when released to 0.
IDropTarget* createDropTarget(EditorWindowListener& listener);

}  // namespace platform::win32
