#include "gui/platform/Window.h"

namespace platform {

std::unique_ptr<EditorWindow> createEditorWindow(void*, std::int32_t, std::int32_t, EditorWindowListener&) {
    return nullptr;
}

// Nothing on this platform takes drops.
void beginDropSupport() {}
void endDropSupport() {}

}  // namespace platform
