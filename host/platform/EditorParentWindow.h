// The window a host gives a plug-in's editor to open into.
#pragma once

#include <memory>

class EditorParentWindow {
public:
    // False when there is no display to open windows on.
    static bool displayAvailable();

    // A mapped top-level window; throws std::runtime_error when it cannot be made.
    EditorParentWindow(int width, int height);
    ~EditorParentWindow();
    EditorParentWindow(const EditorParentWindow&) = delete;
    EditorParentWindow& operator=(const EditorParentWindow&) = delete;

    // What effEditOpen takes: an X11 window id or a window handle.
    void* handle() const;
    // Handles the events waiting for this window, as a host's event loop would.
    void pumpEvents();

private:
    struct Native;
    std::unique_ptr<Native> native;
};
