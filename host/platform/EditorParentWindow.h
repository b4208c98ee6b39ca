// The window a host gives a plug-in's editor to open into.
#pragma once

#include <memory>

class EditorParentWindow {
public:
    // A mapped top-level window, or null when there is no display to open it on.
    static std::unique_ptr<EditorParentWindow> open(int width, int height);
    ~EditorParentWindow();
    EditorParentWindow(const EditorParentWindow&) = delete;
    EditorParentWindow& operator=(const EditorParentWindow&) = delete;

    // What effEditOpen takes: an X11 window id or a window handle.
    void* handle() const;
    void resize(int width, int height);
    // Handles the events waiting for this window, as a host's event loop would.
    void pumpEvents();

private:
    struct Native;
    explicit EditorParentWindow(std::unique_ptr<Native> made);
    std::unique_ptr<Native> native;
};
