// A top-level window of the host's own that carries a plug-in's editor.
#pragma once

#include <memory>

class EditorHostWindow {
public:
    virtual ~EditorHostWindow() = default;
    // What effEditOpen gets: the platform's window handle.
    virtual void* handle() const = 0;
    virtual void resize(int width, int height) = 0;
    // Handles waiting events; false once the user has closed the window.
    virtual bool handleEvents() = 0;
};

// None when no window can be made (no display).
std::unique_ptr<EditorHostWindow> createEditorHostWindow(const char* title);
void sleepMilliseconds(int milliseconds);
